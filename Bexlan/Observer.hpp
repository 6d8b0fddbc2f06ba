#pragma once

namespace Bexlan {

// Anything that wants to update itself (typically reading a container by key) after each refresh.
class Observer {
 public:
  virtual ~Observer() = default;

  virtual void update() = 0;
};

}  // namespace Bexlan
