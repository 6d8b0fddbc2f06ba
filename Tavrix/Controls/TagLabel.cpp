#include "Tavrix/Controls/TagLabel.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr double cornerRadius = 4;
constexpr double backgroundAlpha = 0.22;
constexpr double fillAlpha = 0.25;

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<TagLabel>(
      "TagLabel", "View",
      {{"offset", inspectable(&TagLabel::offset, &TagLabel::setOffset)},
       {"autoCalculateSize", inspectable(&TagLabel::autoCalculateSize, &TagLabel::setAutoCalculateSize)},
       {"heightOffset", inspectable(&TagLabel::heightOffset, &TagLabel::setHeightOffset)},
       {"stringValue",
        inspectable<TagLabel, std::string, std::string>(&TagLabel::stringValue, &TagLabel::setStringValue)}});
  return true;
}();

}  // namespace

TagLabel::TagLabel(const platform::Rect& frame)
    : platform::TextField(frame), color_(SystemColors::systemGreen()) {}

void TagLabel::didInit() {
  platform::TextField::didInit();
  setWantsLayer(true);
  setTranslatesAutoresizingMaskIntoConstraints(false);
  layer()->setMasksToBounds(true);
  layer()->setCornerRadius(cornerRadius);
}

void TagLabel::setColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("TagLabel: the colour cannot be null");
  }
  color_ = std::move(color);
  update();
}

void TagLabel::setOffset(double offset) {
  offset_ = offset;
  update();
}

void TagLabel::setProgress(std::optional<double> progress) {
  progress_ = progress;
  update();
}

void TagLabel::setHeightOffset(double heightOffset) {
  heightOffset_ = heightOffset;
  update();
}

void TagLabel::setStringValue(std::string text) {
  platform::TextField::setStringValue(std::move(text));
  update();
}

void TagLabel::update() {
  setTextColor(color_);
  const std::shared_ptr<platform::Layer> backing = layer();
  if (backing) {
    backing->setCornerRadius(cornerRadius);
    backing->setBackgroundColor(color_->withAlphaComponent(backgroundAlpha)->rgba(effectiveAppearance()));
  }
  if (autoCalculateSize_) {
    constexpr double largest = std::numeric_limits<double>::max();
    const platform::Size measured =
        font() ? platform::TextMeasurer::boundingSize(stringValue(), platform::TextAttributes{font()},
                                                      {largest, largest})
               : platform::Size{0, 0};
    setSizeConstraint("width", std::trunc(measured.width + 1 + 2 * offset_));
    setSizeConstraint("height", std::trunc(measured.height + 1 + heightOffset_));
  }
  if (progressLayer_) {
    progressLayer_->removeFromSuperlayer();
  }
  if (!progress_) {
    layout();
    return;
  }
  const double fraction = std::isnan(*progress_) ? 0 : std::clamp(*progress_, 0.0, 1.0);
  const platform::Rect bounds = this->bounds();
  auto fill = std::make_shared<platform::ShapeLayer>();
  fill->setFrame(bounds);
  fill->setContentsScale(mainScreenScale());
  fill->setPath(NSBezierPath::cgPath(
      platform::BezierPath::rect(platform::Rect(0, 0, fraction * bounds.width(), bounds.height()))));
  fill->setCornerRadius(cornerRadius);
  fill->setFillColor(color_->withAlphaComponent(fillAlpha)->rgba(effectiveAppearance()));
  fill->setStrokeColor(std::nullopt);
  progressLayer_ = fill;
  if (backing) {
    backing->addSublayer(fill);
  }
  layout();
}

void TagLabel::setSizeConstraint(const std::string& identifier, double constant) {
  for (const auto& constraint : constraints()) {
    if (constraint->identifier() == identifier) {
      constraint->setConstant(constant);
      return;
    }
  }
  const platform::LayoutAnchor anchor = identifier == "width" ? widthAnchor() : heightAnchor();
  const auto made = anchor.constraintEqualToConstant(constant);
  made->setIdentifier(identifier);
  addConstraint(made);
}

}  // namespace Tavrix
