#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>

namespace platform {

// A display. Only the main screen's backing scale factor (device pixels per point) is modelled.
struct Screen {
  double backingScaleFactor = 1;

  // The main screen, or nothing when there is none. Programs here draw off screen, so there is no main
  // screen unless a ScopedMainScreen provides one.
  static std::optional<Screen> main();
};

// Makes a screen the main screen (or takes the main screen away) while it lives, in every thread; tests
// use it to pin the scale. Scopes nest: destroying one brings back the one that was active before it,
// whatever order they are destroyed in. Thread-safe.
class ScopedMainScreen {
 public:
  // Throws std::invalid_argument for a scale factor that is not finite and above zero.
  explicit ScopedMainScreen(std::optional<Screen> screen);
  ~ScopedMainScreen();
  ScopedMainScreen(const ScopedMainScreen&) = delete;
  ScopedMainScreen& operator=(const ScopedMainScreen&) = delete;

 private:
  std::uint64_t token_;
};

}  // namespace platform
