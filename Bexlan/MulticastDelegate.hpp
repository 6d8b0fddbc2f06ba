#pragma once

#include <algorithm>
#include <memory>
#include <mutex>
#include <vector>

namespace Bexlan {

// A set of weakly held delegates of one type, all called in turn. A delegate released elsewhere silently
// leaves the set. Any thread may add, remove and invoke: the table is guarded, and invoke calls the
// delegates outside the lock, so a delegate may add or remove delegates (itself included) while it is
// being called.
template <class Delegate>
class MulticastDelegate {
 public:
  MulticastDelegate() = default;
  MulticastDelegate(const MulticastDelegate&) = delete;
  MulticastDelegate& operator=(const MulticastDelegate&) = delete;

  // Adds the delegate unless the same object is already in the set (then nothing changes). Null is ignored.
  void add(const std::shared_ptr<Delegate>& delegate) {
    if (!delegate) return;
    std::lock_guard lock(mutex_);
    dropReleased();
    const auto same = [&](const std::weak_ptr<Delegate>& entry) { return holds(entry, delegate); };
    if (std::none_of(entries_.begin(), entries_.end(), same)) entries_.push_back(delegate);
  }

  // Removes the delegate, compared by identity; a delegate that is not in the set changes nothing.
  void remove(const std::shared_ptr<Delegate>& delegate) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_, [&](const std::weak_ptr<Delegate>& entry) {
      return entry.expired() || holds(entry, delegate);
    });
  }

  // Calls `call` once with each delegate that is alive now, from the most recently added to the first
  // added. The delegates are taken at the start, so adds and removes made by the calls do not change this
  // walk, and each delegate stays alive until its call has returned.
  template <class F>
  void invoke(F&& call) {
    const std::vector<std::shared_ptr<Delegate>> delegates = live();
    for (auto delegate = delegates.rbegin(); delegate != delegates.rend(); ++delegate) call(**delegate);
  }

 private:
  // Strong references to the live delegates in the order added; released ones leave the table.
  std::vector<std::shared_ptr<Delegate>> live() {
    std::vector<std::shared_ptr<Delegate>> result;
    std::lock_guard lock(mutex_);
    dropReleased();
    result.reserve(entries_.size());
    for (const auto& entry : entries_) {
      if (auto delegate = entry.lock()) result.push_back(std::move(delegate));
    }
    return result;
  }

  void dropReleased() {
    std::erase_if(entries_, [](const std::weak_ptr<Delegate>& entry) { return entry.expired(); });
  }

  // Identity: the entry refers to the same live object. A released entry refers to nothing, even when a
  // new object now lives at its old address.
  static bool holds(const std::weak_ptr<Delegate>& entry, const std::shared_ptr<Delegate>& delegate) {
    const std::shared_ptr<Delegate> held = entry.lock();
    return held && held.get() == delegate.get();
  }

  std::mutex mutex_;
  std::vector<std::weak_ptr<Delegate>> entries_;
};

}  // namespace Bexlan
