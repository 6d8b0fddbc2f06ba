#include "Platform/Graphics/Appearance.hpp"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

// The innermost live scope's appearance on this thread; null when no scope is live.
thread_local const Appearance* currentOverride = nullptr;

}  // namespace

Appearance::Appearance(std::string name) : name_(std::move(name)) {}

bool Appearance::isDark() const {
  std::string lowered = name_;
  // ASCII lower-casing, independent of the process locale.
  std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return lowered.find("dark") != std::string::npos;
}

Appearance Appearance::current() {
  static const Appearance light{std::string(aqua)};
  return currentOverride != nullptr ? *currentOverride : light;
}

AppearanceScope::AppearanceScope(Appearance appearance)
    : appearance_(std::move(appearance)), previous_(currentOverride) {
  currentOverride = &appearance_;
}

AppearanceScope::~AppearanceScope() { currentOverride = previous_; }

}  // namespace platform
