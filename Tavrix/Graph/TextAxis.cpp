#include "Tavrix/Graph/TextAxis.hpp"

#include <cmath>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/AnimateProperty.hpp"

namespace Tavrix {

TextAxis::TextAxis()
    : fillColor_(SystemColors::separatorColor()),
      selectedColor_(platform::Color::black()),
      selectedTextColor_(platform::Color::white()) {}

void TextAxis::setSelectedIndex(std::optional<std::int64_t> index) {
  const std::optional<std::int64_t> old = std::exchange(selectedIndex_, index);
  selectionChanged(old, index);
}

void TextAxis::modifySelectedIndex(const std::function<void(std::optional<std::int64_t>&)>& change) {
  std::optional<std::int64_t> index = selectedIndex_;
  change(index);
  setSelectedIndex(index);
}

void TextAxis::draw(const std::shared_ptr<platform::Layer>& layer, double lineWidth) {
  clear();
  if (!layer || texts_.empty()) return;
  slots_.resize(texts_.size());
  if (alignMode_ == TextAlignMode::centered) {
    layoutCentered(*layer);
  } else {
    layoutEvenly(*layer, lineWidth);
  }
}

void TextAxis::clear() {
  platform::removeAllFromSuperlayer(layers_);
  platform::removeAllFromSuperlayer(fillLayers_);
  slots_.clear();
}

std::shared_ptr<platform::TextLayer> TextAxis::makeLabel(const std::string& text, double size,
                                                         platform::Rgba color,
                                                         platform::TextAlignment alignment) const {
  auto label = std::make_shared<platform::TextLayer>();
  label->setFont(platform::Font::systemFont(size, fontWeight_));
  label->setFontSize(size);
  label->setString(text);
  label->setForegroundColor(color);
  label->setAlignmentMode(alignment);
  label->setContentsScale(mainScreenScale());
  return label;
}

void TextAxis::layoutEvenly(platform::Layer& layer, double lineWidth) {
  const platform::Rect frame = layer.frame();
  const auto count = static_cast<std::int64_t>(texts_.size());
  const platform::TextAttributes attributes{.font = platform::Font::systemFont(fontSize_, fontWeight_)};
  const double middle = frame.height() - (fillLabel_ ? 18 : 12);
  for (std::int64_t i = 0; i < count; ++i) {
    const std::string& text = texts_[static_cast<std::size_t>(i)];
    if (text.empty()) continue;
    const platform::Size size = platform::TextMeasurer::boundingSize(text, attributes, frame.size);
    double x = frame.width() / static_cast<double>(count - 1) * static_cast<double>(i) - lineWidth / 2 -
               size.width / 2;
    platform::TextAlignment alignment = platform::TextAlignment::center;
    if (i == 0) {
      x = 2;
      alignment = platform::TextAlignment::left;
    } else if (i == count - 1) {
      x = frame.width() - size.width - 2;
      alignment = platform::TextAlignment::right;
    }
    auto label = makeLabel(text, fontSize_, SystemColors::secondaryLabelColor()->rgba(), alignment);
    label->setFrame({x, middle - size.height / 2, size.width, size.height});
    layer.addSublayer(label);
    layers_.push_back(label);
    slots_[static_cast<std::size_t>(i)].label = std::move(label);
  }
}

void TextAxis::layoutCentered(platform::Layer& layer) {
  const platform::Rect frame = layer.frame();
  const std::size_t count = texts_.size();
  const double slotWidth = frame.width() / static_cast<double>(count);
  const platform::TextAttributes attributes{.font = platform::Font::systemFont(fontSize_, fontWeight_)};
  const bool withDetails = details_.size() == count;
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& text = texts_[i];
    if (text.empty()) continue;
    const bool selected = selectedIndex_ == static_cast<std::int64_t>(i);
    const platform::Rgba color =
        (fillLabel_ && selected ? selectedTextColor_ : SystemColors::secondaryLabelColor())->rgba();
    const double x = static_cast<double>(i) * slotWidth;
    const double textHeight = platform::TextMeasurer::boundingSize(text, attributes, frame.size).height;
    auto label = makeLabel(text, fontSize_, color, platform::TextAlignment::center);
    if (withDetails) {
      label->setFrame({x, bandTop(frame.height()) + 2, slotWidth, textHeight});
      layer.addSublayer(label);
      layers_.push_back(label);
      if (const std::optional<std::string>& detail = details_[i]) {
        // Measured with the label's font, as the detail line has always been.
        const double detailHeight =
            platform::TextMeasurer::boundingSize(*detail, attributes, frame.size).height;
        auto detailLabel = makeLabel(*detail, detailFontSize_, color, platform::TextAlignment::center);
        detailLabel->setFrame({x, label->frame().origin.y + textHeight + 2, slotWidth, detailHeight});
        layer.addSublayer(detailLabel);
        layers_.push_back(std::move(detailLabel));
      }
    } else {
      label->setFrame({x, frame.height() - (fillLabel_ ? 18 : 12) - textHeight / 2, slotWidth, textHeight});
    }
    if (fillLabel_) {
      const platform::Rect bounds = layer.bounds();
      const double end = slotEnd(static_cast<std::int64_t>(i), bounds);
      const double start = i == 0 ? 0 : slotEnd(static_cast<std::int64_t>(i) - 1, bounds);
      auto background = std::make_shared<platform::ShapeLayer>();
      background->setContentsScale(mainScreenScale());
      background->setFillColor((selected ? selectedColor_ : fillColor_)->rgba());
      background->setStrokeColor(std::nullopt);
      background->setPath(NSBezierPath::cgPath(
          platform::BezierPath::rect({start + fillOffset_ / 2, frame.height() - 36, end - start, 36})));
      layer.addSublayer(background);
      fillLayers_.push_back(background);
      slots_[i].background = std::move(background);
    }
    // Added (again) last, so it lies above its background.
    layer.addSublayer(label);
    layers_.push_back(label);
    slots_[i].label = std::move(label);
  }
}

double TextAxis::slotEnd(std::int64_t index, const platform::Rect& rect) const {
  const auto count = static_cast<std::int64_t>(texts_.size());
  const double width = rect.width();
  if (index >= count - 1) return width;
  const double step = std::trunc(width / static_cast<double>(count));
  if (index < 1) return step;
  return static_cast<double>(index + 1) * step;
}

const TextAxis::Slot* TextAxis::slot(std::optional<std::int64_t> index) const {
  if (!index || *index < 0 || *index >= static_cast<std::int64_t>(slots_.size())) return nullptr;
  return &slots_[static_cast<std::size_t>(*index)];
}

void TextAxis::selectionChanged(std::optional<std::int64_t> oldIndex, std::optional<std::int64_t> newIndex) {
  if (oldIndex && oldIndex == newIndex) return;
  if (const Slot* old = slot(oldIndex); old && old->background) {
    animateProperty(*old->background, fillColor_->rgba(), "fillColor");
    if (old->label)
      animateProperty(*old->label, SystemColors::secondaryLabelColor()->rgba(), "foregroundColor");
  }
  if (const Slot* selected = slot(newIndex); selected && selected->background && selected->label) {
    animateProperty(*selected->background, selectedColor_->rgba(), "fillColor");
    animateProperty(*selected->label, selectedTextColor_->rgba(), "foregroundColor");
  }
}

}  // namespace Tavrix
