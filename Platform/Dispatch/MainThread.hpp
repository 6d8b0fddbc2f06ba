#pragma once

namespace platform {

// True on the process's initial thread (its thread id equals the process id), which runs the main run
// loop and the main queue.
bool isMainThread() noexcept;

}  // namespace platform
