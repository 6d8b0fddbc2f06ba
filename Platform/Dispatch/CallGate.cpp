#include "Platform/Dispatch/CallGate.hpp"

namespace platform {

thread_local CallGate* CallGate::runningHere = nullptr;

bool CallGate::enter() {
  std::lock_guard lock(mutex_);
  if (closed_) return false;
  ++running_;
  return true;
}

void CallGate::leave(CallGate* outer) {
  runningHere = outer;
  {
    std::lock_guard lock(mutex_);
    --running_;
  }
  idle_.notify_all();
}

void CallGate::close() {
  std::unique_lock lock(mutex_);
  closed_ = true;
  const int ownCall = runningHere == this ? 1 : 0;
  idle_.wait(lock, [&] { return running_ <= ownCall; });
}

}  // namespace platform
