#include "Tavrix/Graph/DoubleBarGraph.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

#include "Platform/Graphics/Appearance.hpp"
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

constexpr double textFontSize = 9;
constexpr std::uint64_t emptyScaleTop = 40 * 1024 * 1024;
constexpr std::uint64_t uint64Max = std::numeric_limits<std::uint64_t>::max();

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<DoubleBarGraph>("DoubleBarGraph", "View");
  return true;
}();

platform::ColorRef checked(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("DoubleBarGraph: the bar colour is null");
  }
  return color;
}

// The label colour resolved under the appearance, left-aligned, the regular system font.
platform::TextAttributes labelAttributes(const platform::Appearance& appearance) {
  platform::AppearanceScope scope(appearance);
  return TextUtilities::textAttributes(platform::TextAlignment::left, SystemColors::labelColor(), false,
                                       textFontSize);
}

}  // namespace

DoubleBarGraph::DoubleBarGraph(const platform::Rect& frame)
    : platform::View(frame),
      textFontAttributes_(labelAttributes(effectiveAppearance())),
      colorLeft_(platform::Color::green()),
      colorRight_(platform::Color::red()) {}

void DoubleBarGraph::didInit() {
  platform::View::didInit();
  layout();
}

void DoubleBarGraph::setLeftOffset(double offset) {
  leftOffset_ = offset;
  setNeedsDisplay(true);
}

void DoubleBarGraph::setRightOffset(double offset) {
  rightOffset_ = offset;
  setNeedsDisplay(true);
}

void DoubleBarGraph::setTopOffset(double offset) {
  topOffset_ = offset;
  setNeedsDisplay(true);
}

void DoubleBarGraph::setBottomOffset(double offset) {
  bottomOffset_ = offset;
  setNeedsDisplay(true);
}

void DoubleBarGraph::setColorLeft(platform::ColorRef color) {
  colorLeft_ = checked(std::move(color));
  setNeedsDisplay(true);
}

void DoubleBarGraph::setColorRight(platform::ColorRef color) {
  colorRight_ = checked(std::move(color));
  setNeedsDisplay(true);
}

void DoubleBarGraph::setInteractionImage(std::shared_ptr<const platform::Image> image) {
  interactionImage_ = std::move(image);
  setNeedsDisplay(true);
}

void DoubleBarGraph::setColorAlpha(double alpha) {
  colorAlpha_ = alpha;
  setNeedsDisplay(true);
}

void DoubleBarGraph::setData(std::vector<Pair> data) {
  data_ = std::move(data);
  setNeedsDisplay(true);
}

void DoubleBarGraph::setLegendLabelsX(std::vector<std::string> labels) {
  legendLabelsX_ = std::move(labels);
  setNeedsDisplay(true);
}

void DoubleBarGraph::setLegendLabelsY(std::vector<std::string> labels) {
  legendLabelsY_ = std::move(labels);
  setNeedsDisplay(true);
}

void DoubleBarGraph::setGridLineWidth(double width) {
  gridLineWidth_ = width;
  setNeedsDisplay(true);
}

void DoubleBarGraph::setLineWidth(double width) {
  lineWidth_ = width;
  setNeedsDisplay(true);
}

std::uint64_t DoubleBarGraph::calculateMax() const {
  std::uint64_t largest = 0;
  for (const auto& [left, right] : data_) {
    largest = std::max({largest, left, right});
  }
  if (largest == 0) {
    return emptyScaleTop;
  }
  int steps = 0;
  while (largest >= 1000) {
    largest /= 1000;
    ++steps;
  }
  std::uint64_t unit = 1;
  while (largest / unit >= 10) {
    unit *= 10;
  }
  std::uint64_t top = (largest / unit + 1) * unit;
  for (int step = 0; step < steps; ++step) {
    if (top > uint64Max / 1024) {
      return uint64Max;
    }
    top *= 1024;
  }
  return top;
}

void DoubleBarGraph::layout() {
  platform::View::layout();
  if (trackingArea_) {
    removeTrackingArea(trackingArea_);
  }
  trackingArea_ = platform::TrackingArea::create(bounds(),
                                                 platform::TrackingArea::mouseEnteredAndExited |
                                                     platform::TrackingArea::mouseMoved |
                                                     platform::TrackingArea::activeAlways,
                                                 shared_from_this());
  addTrackingArea(trackingArea_);
}

void DoubleBarGraph::viewDidChangeEffectiveAppearance() {
  platform::View::viewDidChangeEffectiveAppearance();
  // The texts take the label colour of the new appearance: light on a dark window, dark on a light one.
  textFontAttributes_ = labelAttributes(effectiveAppearance());
  setNeedsDisplay(true);
}

DoubleBarGraph::Columns DoubleBarGraph::columns() const {
  const auto count = static_cast<double>(data_.size());
  const double gap = 24 - count / 2;
  return {gap, (bounds().width() - leftOffset_ - rightOffset_ - 3 - gap * (count - 1)) / count};
}

void DoubleBarGraph::draw(const platform::Rect& dirtyRect) {
  platform::View::draw(dirtyRect);
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context) {
    return;
  }
  const double height = bounds().height() - topOffset_ - bottomOffset_;
  drawGrid(std::trunc(height));
  drawLegend(height);
  if (!data_.empty()) {
    drawBars(*context, height);
  }
}

void DoubleBarGraph::drawBars(platform::GraphicsContext& context, double height) {
  const double max = static_cast<double>(calculateMax());
  const auto [gap, columnWidth] = columns();
  const double barWidth = columnWidth / 2;
  const double half = lineWidth_ / 2;
  const bool labelled = legendLabelsX_.size() == data_.size();
  for (std::size_t column = 0; column < data_.size(); ++column) {
    const auto i = static_cast<double>(column);
    const double x = gap * i + 2 * barWidth * i + leftOffset_ + 1;
    const double leftEdge = std::trunc(x) - half;
    const double leftRight = std::trunc(x + barWidth) - half;
    const double leftTop =
        std::trunc(bottomOffset_ + height * (static_cast<double>(data_[column].first) / max)) - half;
    const double right = std::trunc(leftEdge + 1 + barWidth + 1) - half;
    const double rightTopRight = std::trunc(right + 1 + barWidth) - half;
    const double rightBottomLeft = std::trunc(right) + 1 - half;
    const double rightBottomRight = std::trunc(right + barWidth) + 1 - half;
    const double rightTop =
        std::trunc(bottomOffset_ + height * (static_cast<double>(data_[column].second) / max));

    if (index_ == static_cast<std::int64_t>(column)) {
      drawHighlight(leftEdge, rightBottomRight);
    }
    platform::BezierPath leftBar;
    leftBar.move({leftEdge, bottomOffset_});
    leftBar.line({leftEdge, leftTop});
    leftBar.line({leftRight, leftTop});
    leftBar.line({leftRight, bottomOffset_});
    ChartBar::strokeThenFill(context, leftBar.path(), lineWidth_, colorLeft_, colorAlpha_);
    platform::BezierPath rightBar;
    rightBar.move({rightBottomLeft, bottomOffset_});
    rightBar.line({right, rightTop});
    rightBar.line({rightTopRight, rightTop});
    rightBar.line({rightBottomRight, bottomOffset_});
    ChartBar::strokeThenFill(context, rightBar.path(), lineWidth_, colorRight_, colorAlpha_);

    if (labelled) {
      const std::string& text = legendLabelsX_[column];
      const double textWidth = platform::TextMeasurer::size(text, textFontAttributes_).width;
      platform::TextRenderer::draw(context, text, textFontAttributes_,
                                   platform::Rect(leftEdge + barWidth - textWidth / 2, 1,
                                                  textWidth < 2 * barWidth ? 2 * barWidth : 16, 12));
    }
  }
}

void DoubleBarGraph::drawGrid(double height) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context) {
    return;
  }
  const double right = bounds().width() - rightOffset_;
  const double half = gridLineWidth_ / 2;
  context->setStrokeColor(SystemColors::tertiaryLabelColor()->rgba());
  const auto across = [&](platform::BezierPath& path, double y) {
    path.move({leftOffset_, y});
    path.line({right, y});
  };
  const auto down = [&](platform::BezierPath& path, double x) {
    path.move({x, topOffset_ + height});
    path.line({x, topOffset_});
  };

  platform::BezierPath frame;
  frame.strokeStyle().lineWidth = gridLineWidth_;
  across(frame, topOffset_ - half);
  down(frame, std::trunc(leftOffset_) + half);
  down(frame, right - half);
  // The top line lies level, half the grid width under the plot's top.
  across(frame, topOffset_ + height - half);
  context->stroke(frame);

  platform::BezierPath quarters;
  quarters.strokeStyle().lineWidth = gridLineWidth_;
  for (const double fraction : {0.25, 0.5, 0.75}) {
    across(quarters, std::trunc(topOffset_ + height * fraction) + half);
  }
  context->stroke(quarters);
}

void DoubleBarGraph::drawLegend(double height) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context || legendLabelsY_.size() != 5) {
    return;
  }
  const double ys[] = {bottomOffset_ - 6, topOffset_ + height * 0.25 - 5, topOffset_ + height * 0.5 - 5,
                       topOffset_ + height * 0.75 - 5, topOffset_ + height - 5};
  for (std::size_t k = 0; k < 5; ++k) {
    platform::TextRenderer::draw(*context, legendLabelsY_[k], textFontAttributes_,
                                 platform::Rect(4, std::trunc(ys[k]) + 1, 56, 11));
  }
}

}  // namespace Tavrix
