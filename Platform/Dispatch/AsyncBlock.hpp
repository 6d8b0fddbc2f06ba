#pragma once

#include <exception>
#include <string_view>

namespace platform {

// Stops the process for an exception that escaped a block nobody waits for: "uncaught exception in
// <where><name>: <what>".
[[noreturn]] void failAsyncBlock(std::exception_ptr failure, std::string_view where,
                                 std::string_view name) noexcept;

// Runs a block that has no caller to hand an exception to (queued blocks, timer actions, read sources). An
// exception that escapes it is a programming error and stops the process with a message naming where the
// block ran, instead of unwinding through the queue or run loop and losing the work queued behind it.
template <class Block>
void runAsyncBlock(Block&& block, std::string_view where, std::string_view name = {}) noexcept {
  try {
    block();
  } catch (...) {
    failAsyncBlock(std::current_exception(), where, name);
  }
}

}  // namespace platform
