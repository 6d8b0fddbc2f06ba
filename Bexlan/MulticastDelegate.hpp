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
    const auto same = [&](const Entry& entry) { return entry.holds(delegate.get()); };
    if (std::none_of(entries_.begin(), entries_.end(), same)) entries_.push_back({delegate, delegate.get()});
  }

  // Removes the delegate, compared by identity; a delegate that is not in the set changes nothing.
  void remove(const std::shared_ptr<Delegate>& delegate) {
    std::lock_guard lock(mutex_);
    std::erase_if(entries_,
                  [&](const Entry& entry) { return entry.object.expired() || entry.holds(delegate.get()); });
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
      if (auto delegate = entry.object.lock()) result.push_back(std::move(delegate));
    }
    return result;
  }

  void dropReleased() {
    std::erase_if(entries_, [](const Entry& entry) { return entry.object.expired(); });
  }

  struct Entry {
    std::weak_ptr<Delegate> object;
    const Delegate* address;

    // Identity without taking a strong reference: one taken here could turn out to be the last one, and the
    // delegate's destructor would then run under the lock (and deadlock if it removed itself). The address
    // is compared first: when it matches and the entry is still alive, both name one live object; a
    // released entry names nothing, even when a new object now lives at its old address.
    bool holds(const Delegate* delegate) const { return address == delegate && !object.expired(); }
  };

  std::mutex mutex_;
  std::vector<Entry> entries_;
};

}  // namespace Bexlan
