#include "Tavrix/Graph/TimeAxis.hpp"

#include <cmath>

#include "Platform/Foundation/Calendar.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/Utilities.hpp"

namespace Tavrix {

namespace {

constexpr double labelFontSize = 10;

std::shared_ptr<const platform::Font> labelFont() { return platform::Font::systemFont(labelFontSize); }

std::shared_ptr<platform::TextLayer> monthLabel(const std::string& text, platform::Rgba color,
                                                platform::TextAlignment alignment,
                                                const platform::Rect& frame) {
  auto label = std::make_shared<platform::TextLayer>();
  label->setFont(labelFont());
  label->setForegroundColor(color);
  label->setFontSize(labelFontSize);
  label->setString(text);
  label->setFrame(frame);
  label->setWrapped(false);
  label->setAlignmentMode(alignment);
  label->setContentsScale(mainScreenScale());
  return label;
}

}  // namespace

TimeAxis::TimeAxis() : tickColor_(SystemColors::separatorColor()) {}

void TimeAxis::draw(const std::shared_ptr<platform::Layer>& layer, double) {
  platform::removeAllFromSuperlayer(layers_);
  if (!layer) return;
  pass_.emplace();
  struct EndPass {
    std::optional<MonthScale>& pass;
    ~EndPass() { pass.reset(); }
  } endPass{pass_};
  drawTicks(*layer, height());
  drawLabels(*layer, height());
}

double TimeAxis::labelWidth(const std::string& text, double bandHeight) {
  const auto measure = [&] {
    return platform::TextMeasurer::boundingSize(text, {.font = labelFont()}, {32, bandHeight - 4}).width;
  };
  if (!pass_) return measure();
  const auto [entry, added] = pass_->widths.try_emplace({text, bandHeight}, 0);
  if (added) entry->second = measure();
  return entry->second;
}

std::string TimeAxis::monthText(double timestamp) const {
  return pass_ ? pass_->format.string(timestamp) : Utilities::monthString(timestamp);
}

void TimeAxis::clear() {
  tickLayer_->removeFromSuperlayer();
  platform::removeAllFromSuperlayer(layers_);
}

void TimeAxis::drawTicks(platform::Layer& layer, double bandHeight) {
  tickLayer_->removeFromSuperlayer();
  tickLayer_ = std::make_shared<platform::ShapeLayer>();
  tickLayer_->setLineWidth(1);
  const platform::Rect frame = layer.frame();
  const double slot = frame.width() / static_cast<double>(timestamps_.size());
  const double top = frame.height() - bandHeight;
  platform::BezierPath ticks;
  for (std::size_t i = 0; i < timestamps_.size(); ++i) {
    const double x = std::trunc(slot * 0.1 + slot * static_cast<double>(i) - 0.5);
    ticks.move({x, top});
    ticks.line({x, top + 2});
  }
  tickLayer_->setPath(NSBezierPath::cgPath(ticks));
  tickLayer_->setStrokeColor(tickColor_->rgba());
  tickLayer_->setFillColor(std::nullopt);
  layer.addSublayer(tickLayer_);
  layers_.push_back(tickLayer_);
}

void TimeAxis::drawLabels(platform::Layer& layer, double bandHeight) {
  const std::size_t count = timestamps_.size();
  if (period_ == TimePeriod::lastYear) {
    for (std::size_t i = 0; i < count; ++i) addSlotLabel(layer, i, timestamps_[i], bandHeight);
    return;
  }
  const double width = layer.frame().width();
  // Every fourth sample from the newest; sample 0 is never labelled.
  for (std::size_t i = count - 1; count >= 2 && i > 0; i = i >= 4 ? i - 4 : 0) {
    const std::string text = monthText(timestamps_[i]);
    const double limit = width - labelWidth(text, bandHeight) / 2 - 4;
    const double at = offset(timestamps_[i], layer);
    const double position = limit < at ? limit : at;
    addLabel(layer, text, platform::TextAlignment::center, position, bandHeight);
    if (position == limit) break;
  }
}

void TimeAxis::addLabel(platform::Layer& layer, const std::string& text, platform::TextAlignment alignment,
                        double offset, double bandHeight) {
  const platform::Rect frame = layer.frame();
  const double width = labelWidth(text, bandHeight);
  const platform::Rect candidate(frame.width() - offset - width / 2, frame.height() - bandHeight + 4, width,
                                 bandHeight - 4);
  for (const std::shared_ptr<platform::Layer>& placed : layers_) {
    if (placed->frame().intersects(candidate)) return;
  }
  auto label = monthLabel(text, SystemColors::secondaryLabelColor()->rgba(), alignment, candidate);
  layer.addSublayer(label);
  layers_.push_back(std::move(label));
}

void TimeAxis::addSlotLabel(platform::Layer& layer, std::size_t index, double timestamp, double bandHeight) {
  const platform::Rect frame = layer.frame();
  const double slot = frame.width() / static_cast<double>(timestamps_.size());
  const platform::Rect labelFrame(slot * static_cast<double>(index) + slot * 0.1,
                                  frame.height() - bandHeight + 4, slot, bandHeight - 4);
  auto label = monthLabel(monthText(timestamp), SystemColors::labelColor()->rgba(),
                          platform::TextAlignment::left, labelFrame);
  layer.addSublayer(label);
  layers_.push_back(std::move(label));
}

double TimeAxis::offset(double timestamp, const platform::Layer& layer) const {
  const std::optional<double> monthStart = startOfMonth(timestamp);
  if (!monthStart || timestamps_.empty()) return 0;
  const double width = layer.frame().width();
  const double slot = width / static_cast<double>(timestamps_.size());
  const double span = timestamps_.back() - timestamps_.front();
  // An empty span has no scale: every label sits one slot from the right edge.
  if (span == 0) return slot;
  return slot + (timestamps_.back() - *monthStart) * width / span;
}

std::optional<double> TimeAxis::startOfMonth(double timestamp) const {
  std::optional<platform::Calendar> own;
  const platform::Calendar& calendar = pass_ ? pass_->calendar : own.emplace(platform::Calendar::gregorian());
  const std::optional<double> day = calendar.startOfDay(timestamp);
  if (!day) return std::nullopt;
  const platform::Calendar::Components fields = calendar.components(*day);
  return calendar.date({.era = fields.era, .year = fields.year, .month = fields.month});
}

}  // namespace Tavrix
