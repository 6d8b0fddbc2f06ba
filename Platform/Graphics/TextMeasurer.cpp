#include "Platform/Graphics/TextMeasurer.hpp"

#include <atomic>
#include <utility>

#include "Platform/Graphics/TextLayout.hpp"

namespace platform {

namespace {

std::atomic<const TextMeasurer::Override*> currentOverride{nullptr};

}  // namespace

TextMeasurer::Override::Override(Measure measure)
    : measure_(std::move(measure)), previous_(currentOverride.exchange(this)) {}

TextMeasurer::Override::~Override() { currentOverride.store(previous_); }

Size TextMeasurer::size(std::string_view text, const TextAttributes& attributes) {
  return boundingSize(text, attributes, {TextLayout::unbounded, TextLayout::unbounded});
}

Size TextMeasurer::boundingSize(std::string_view text, const TextAttributes& attributes, Size bounds) {
  if (const Override* override = currentOverride.load()) {
    return override->measure_(text, attributes, bounds);
  }
  return TextLayout(text, *attributes.resolvedFont(), attributes.alignment, bounds.width,
                    LineBreakMode::wordWrap)
      .size();
}

}  // namespace platform
