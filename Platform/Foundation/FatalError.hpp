#pragma once

#include <source_location>
#include <string_view>

namespace platform {

// Stops the process on a programming error: prints "<file>:<line>: Fatal error: <message>" to standard
// error and aborts. Never returns.
[[noreturn]] void fatalError(std::string_view message,
                             std::source_location where = std::source_location::current());

}  // namespace platform
