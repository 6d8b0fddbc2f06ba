#include "Platform/Dispatch/MainThread.hpp"

#include <unistd.h>

namespace platform {

bool isMainThread() noexcept { return gettid() == getpid(); }

}  // namespace platform
