#include "Tavrix/Controls/ColorGradient.hpp"

#include <algorithm>
#include <cstddef>
#include <stdexcept>
#include <utility>

#include "Tavrix/Controls/Colors.hpp"

namespace Tavrix {

namespace {

void requireColors(const std::vector<platform::ColorRef>& colors) {
  if (std::any_of(colors.begin(), colors.end(), [](const platform::ColorRef& color) { return !color; })) {
    throw std::invalid_argument("a gradient's colours cannot be null");
  }
}

}  // namespace

ColorGradient::ColorGradient(platform::ColorRef start, platform::ColorRef end)
    : mColors_{start, end}, start_(std::move(start)), end_(std::move(end)) {
  requireColors(mColors_);
}

ColorGradient::ColorGradient(std::vector<platform::ColorRef> colors) : mColors_(std::move(colors)) {
  requireColors(mColors_);
  if (mColors_.empty()) {
    mColors_ = {Colors::gradientStart(), Colors::gradientEnd()};
  }
  start_ = mColors_.front();
  end_ = mColors_.back();
}

std::vector<platform::ColorRef> ColorGradient::fadedPair(double startAlpha, double endAlpha) const {
  return {start_->withAlphaComponent(startAlpha), end_->withAlphaComponent(endAlpha)};
}

std::vector<platform::ColorRef> ColorGradient::fadedColors() const {
  if (mColors_.size() == 2) {
    return fadedPair(0.75, 0.2);
  }
  std::vector<platform::ColorRef> faded;
  const double count = static_cast<double>(mColors_.size());
  for (std::size_t index = 0; index < mColors_.size(); ++index) {
    faded.push_back(mColors_[index]->withAlphaComponent(0.9 - static_cast<double>(index) * (0.7 / count)));
  }
  return faded;
}

}  // namespace Tavrix
