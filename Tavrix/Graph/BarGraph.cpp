#include "Tavrix/Graph/BarGraph.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/Graphics/TextRenderer.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/TextUtilities.hpp"
#include "Tavrix/Graph/ChartBar.hpp"

namespace Tavrix {

namespace {

constexpr double labelFontSize = 8.25;
constexpr double gridLineWidth = 0.5;

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<BarGraph>("BarGraph", "View");
  return true;
}();

platform::TextAttributes labelAttributes() {
  return TextUtilities::textAttributes(platform::TextAlignment::left, SystemColors::secondaryLabelColor(),
                                       true, labelFontSize);
}

}  // namespace

BarGraph::BarGraph(const platform::Rect& frame) : platform::View(frame), color_(platform::Color::red()) {}

void BarGraph::setColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("BarGraph: the bar colour is null");
  }
  color_ = std::move(color);
  setNeedsDisplay(true);
}

void BarGraph::setAlpha(double alpha) {
  alpha_ = alpha;
  setNeedsDisplay(true);
}

void BarGraph::setLineWidth(double width) {
  lineWidth_ = width;
  setNeedsDisplay(true);
}

void BarGraph::setData(std::vector<std::int32_t> data) {
  data_ = std::move(data);
  setNeedsDisplay(true);
}

std::int32_t BarGraph::calculateMax() const {
  const std::int64_t largest =
      std::max<std::int64_t>(0, data_.empty() ? 0 : *std::ranges::max_element(data_));
  if (largest == 0) {
    return 100;
  }
  const std::int64_t top = (largest / 100 + 1) * 100;
  return static_cast<std::int32_t>(std::min<std::int64_t>(top, std::numeric_limits<std::int32_t>::max()));
}

void BarGraph::draw(const platform::Rect& dirtyRect) {
  platform::View::draw(dirtyRect);
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context) {
    return;
  }
  const double width = bounds().width();
  const double height = bounds().height() - topOffset_ - bottomOffset_;
  const std::int32_t max = calculateMax();
  drawGrid(height);
  drawValueLabels(max, height);
  if (data_.empty()) {
    return;
  }
  const auto count = static_cast<double>(data_.size());
  const double gap = 24 - count / 2;
  const double barWidth = (width - leftOffset_ - 3 - gap * (count - 1)) / count;
  const bool labelled = labels_.size() == data_.size();
  for (std::size_t index = 0; index < data_.size(); ++index) {
    const auto i = static_cast<double>(index);
    const double x = gap * i + barWidth * i + leftOffset_ + 1;
    const double barHeight = height * (static_cast<double>(data_[index]) / static_cast<double>(max));
    const double left = std::trunc(x) - lineWidth_ / 2;
    const double right = std::trunc(x + barWidth) - lineWidth_ / 2;
    const double top = bottomOffset_ + std::trunc(barHeight) - lineWidth_ / 2;
    platform::BezierPath outline;
    outline.move({left, bottomOffset_});
    outline.line({left, top});
    outline.line({right, top});
    outline.line({right, bottomOffset_});
    ChartBar::strokeThenFill(*context, outline.path(), lineWidth_, color_, alpha_);

    if (labelled) {
      const platform::TextAttributes attributes = labelAttributes();
      const double textWidth = platform::TextMeasurer::size(labels_[index], attributes).width;
      platform::TextRenderer::draw(
          *context, labels_[index], attributes,
          platform::Rect(left + barWidth / 2 - textWidth / 2, 3, textWidth < barWidth ? barWidth : 16, 12));
    }
  }
}

void BarGraph::drawGrid(double height) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context) {
    return;
  }
  const double width = bounds().width();
  const double half = lineWidth_ / 2;
  platform::BezierPath grid;
  const auto across = [&](double y) {
    grid.move({leftOffset_, y});
    grid.line({width, y});
  };
  // The base line lies level, at the truncated offset less a quarter point.
  across(std::trunc(topOffset_) - 0.25);
  across(std::trunc(topOffset_ + height * 0.25) - half);
  across(std::trunc(topOffset_ + height * 0.5) + half);
  across(std::trunc(topOffset_ + height * 0.75) - half);
  across(topOffset_ + height - half);
  for (const double x : {leftOffset_ + half, width - half}) {
    grid.move({x, std::trunc(topOffset_ + height)});
    grid.line({x, topOffset_});
  }
  grid.strokeStyle().lineWidth = gridLineWidth;
  context->setStrokeColor(SystemColors::separatorColor()->rgba());
  context->stroke(grid);
}

void BarGraph::drawValueLabels(std::int32_t max, double height) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context) {
    return;
  }
  const platform::TextAttributes attributes = labelAttributes();
  const auto label = [&](std::int32_t value, double y, double labelHeight) {
    platform::TextRenderer::draw(*context, std::to_string(value), attributes,
                                 platform::Rect(4, y, 56, labelHeight));
  };
  label(0, bottomOffset_ - 5, 12);
  label(max / 4, topOffset_ + height * 0.25 - 4, 10);
  label(max / 2, topOffset_ + height * 0.5 - 4, 10);
  label((max / 4) * 3, topOffset_ + height * 0.75 - 4, 10);
  label(max, topOffset_ + height - 4, 10);
}

}  // namespace Tavrix
