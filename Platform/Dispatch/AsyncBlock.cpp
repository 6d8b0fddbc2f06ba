#include "Platform/Dispatch/AsyncBlock.hpp"

#include <stdexcept>
#include <string>

#include "Platform/Foundation/FatalError.hpp"

namespace platform {

void failAsyncBlock(std::exception_ptr failure, std::string_view where, std::string_view name) noexcept {
  std::string message = "uncaught exception in ";
  message.append(where).append(name).append(": ");
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& error) {
    message += error.what();
  } catch (...) {
    message += "an exception of unknown type";
  }
  fatalError(message);
}

}  // namespace platform
