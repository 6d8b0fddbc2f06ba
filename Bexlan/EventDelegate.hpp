#pragma once

namespace Bexlan {

// Told that an event happened. Offered for adopters of the library; nothing in it calls one.
class EventDelegate {
 public:
  virtual ~EventDelegate() = default;

  virtual void eventDidOccur() = 0;
};

}  // namespace Bexlan
