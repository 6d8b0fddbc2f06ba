#include "Tavrix/Graph/ValueAxis.hpp"

#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/Utilities.hpp"
#include "Tavrix/Graph/FloatFormat.hpp"

namespace Tavrix {

ValueAxis::ValueAxis(double min, double max, std::int64_t segmentCount)
    : min_(min), max_(max), segmentCount_(segmentCount) {}

void ValueAxis::draw(const std::shared_ptr<platform::Layer>& layer, double) {
  clear();
  if (!layer || !(max_ > 0) || !(min_ < max_) || !formatFloat(formatString_, 0)) return;
  const platform::Rect frame = layer->frame();
  const double width = frame.width();
  const auto font = platform::Font::systemFont(fontSize_, fontWeight_);
  // Label texts always exist here: the format was checked above.
  const auto label = [&](double value, auto place) {
    const std::string text = formatType_ == ValueAxisFormatType::monthShortName
                                 ? Utilities::monthString(value)
                                 : *this->text(value);
    const platform::Size size = platform::TextMeasurer::boundingSize(text, {.font = font}, frame.size);
    addLabel(*layer, font, text, place(size.width), size.width, size.height);
  };
  label(min_, [](double) { return 4.0; });
  label(max_, [width](double w) { return width - w - 4; });
  if (segmentCount_ < 2) return;
  const double segment = width / static_cast<double>(segmentCount_);
  for (std::int64_t i = 1; i < segmentCount_; ++i) {
    const double value = min_ + (max_ - min_) / static_cast<double>(segmentCount_) * static_cast<double>(i);
    label(value, [&](double w) { return segment * static_cast<double>(i) - w / 2; });
  }
}

void ValueAxis::clear() { platform::removeAllFromSuperlayer(layers_); }

std::optional<std::string> ValueAxis::text(double value) const {
  std::optional<std::string> number = formatFloat(formatString_, value);
  if (number && unit_) *number += " " + *unit_;
  return number;
}

void ValueAxis::addLabel(platform::Layer& layer, const std::shared_ptr<const platform::Font>& font,
                         const std::string& text, double x, double width, double height) {
  auto label = std::make_shared<platform::TextLayer>();
  label->setFont(font);
  label->setForegroundColor(SystemColors::secondaryLabelColor()->rgba());
  label->setFontSize(fontSize_);
  label->setString(text);
  label->setAlignmentMode(platform::TextAlignment::center);
  label->setContentsScale(mainScreenScale());
  label->setFrame({x, layer.frame().height() - 12 - height / 2, width, height});
  layer.addSublayer(label);
  layers_.push_back(std::move(label));
}

}  // namespace Tavrix
