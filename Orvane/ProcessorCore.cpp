#include "Orvane/ProcessorCore.hpp"

#include "Platform/Foundation/Uuid.hpp"

namespace Orvane {

ProcessorCore::ProcessorCore() : id_(platform::uuidString()) {}

}  // namespace Orvane
