#pragma once

#include <string>

#include "Platform/Foundation/Bundle.hpp"

// The product facts a bundle reports, with fixed texts when it has none.
namespace Bexlan::Bundle {

// The bundle's name, else "Unknown App".
std::string appName(const platform::Bundle& bundle = *platform::Bundle::main());
// The bundle's short version, else "Unknown Version".
std::string appVersion(const platform::Bundle& bundle = *platform::Bundle::main());

}  // namespace Bexlan::Bundle
