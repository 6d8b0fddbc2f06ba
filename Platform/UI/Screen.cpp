#include "Platform/UI/Screen.hpp"

#include <cmath>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

struct Override {
  std::uint64_t token;
  std::optional<Screen> screen;
};

struct Overrides {
  std::mutex mutex;
  std::vector<Override> stack;
  std::uint64_t nextToken = 1;
};

Overrides& overrides() {
  static Overrides* shared = new Overrides;  // never destroyed: usable from any static destructor
  return *shared;
}

}  // namespace

std::optional<Screen> Screen::main() {
  Overrides& all = overrides();
  std::lock_guard lock(all.mutex);
  return all.stack.empty() ? std::nullopt : all.stack.back().screen;
}

ScopedMainScreen::ScopedMainScreen(std::optional<Screen> screen) {
  if (screen && !(std::isfinite(screen->backingScaleFactor) && screen->backingScaleFactor > 0)) {
    throw std::invalid_argument("a screen's backing scale factor must be finite and above zero");
  }
  Overrides& all = overrides();
  std::lock_guard lock(all.mutex);
  token_ = all.nextToken++;
  all.stack.push_back({token_, screen});
}

ScopedMainScreen::~ScopedMainScreen() {
  Overrides& all = overrides();
  std::lock_guard lock(all.mutex);
  std::erase_if(all.stack, [this](const Override& entry) { return entry.token == token_; });
}

}  // namespace platform
