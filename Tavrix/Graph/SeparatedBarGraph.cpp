#include "Tavrix/Graph/SeparatedBarGraph.hpp"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/TextRenderer.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/TextUtilities.hpp"
#include "Tavrix/Graph/ChartBar.hpp"

namespace Tavrix {

namespace {

constexpr double barSpacing = 2;
constexpr double barLineWidth = 0.5;
constexpr double gridLineWidth = 0.5;
constexpr double legendFontSize = 9;

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<SeparatedBarGraph>("SeparatedBarGraph", "View");
  return true;
}();

platform::ColorRef checked(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("SeparatedBarGraph: the bar colour is null");
  }
  return color;
}

}  // namespace

SeparatedBarGraph::SeparatedBarGraph(const platform::Rect& frame)
    : platform::View(frame), upperColor_(platform::Color::green()), lowerColor_(platform::Color::red()) {}

void SeparatedBarGraph::didInit() {
  platform::View::didInit();
  installArea();
}

void SeparatedBarGraph::installArea() {
  area_ = platform::TrackingArea::create(
      bounds(), platform::TrackingArea::mouseEnteredAndExited | platform::TrackingArea::activeAlways,
      shared_from_this());
  addTrackingArea(area_);
}

void SeparatedBarGraph::resizeWithOldSuperviewSize(platform::Size oldSize) {
  platform::View::resizeWithOldSuperviewSize(oldSize);
  if (area_) {
    removeTrackingArea(area_);
    installArea();
  }
}

void SeparatedBarGraph::setMaxTop(double max) {
  maxTop_ = max;
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setMaxBottom(double max) {
  maxBottom_ = max;
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setMouseInside(bool inside) {
  isMouseInside_ = inside;
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setMouseOffset(double offset) {
  mouseOffset_ = offset;
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setDataTop(std::vector<double> data) {
  dataTop_ = std::move(data);
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setDataBottom(std::vector<double> data) {
  dataBottom_ = std::move(data);
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setUpperColor(platform::ColorRef color) {
  upperColor_ = checked(std::move(color));
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setLowerColor(platform::ColorRef color) {
  lowerColor_ = checked(std::move(color));
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setColorAlpha(double alpha) {
  colorAlpha_ = alpha;
  setNeedsDisplay(true);
}

void SeparatedBarGraph::setLegendLabelsY(std::vector<std::string> labels) {
  legendLabelsY_ = std::move(labels);
  setNeedsDisplay(true);
}

void SeparatedBarGraph::mouseEntered(const platform::Event&) { setMouseInside(true); }

void SeparatedBarGraph::mouseExited(const platform::Event&) { setMouseInside(false); }

void SeparatedBarGraph::draw(const platform::Rect& dirtyRect) {
  platform::View::draw(dirtyRect);
  drawGridLines();
  drawUpperBars();
  drawLowerBars();
  drawMiddleLine();
  if (isMouseInside_) {
    drawLegend();
  }
}

void SeparatedBarGraph::drawUpperBars() { drawBars(dataTop_, maxTop_, upperColor_, 1); }

void SeparatedBarGraph::drawLowerBars() { drawBars(dataBottom_, maxBottom_, lowerColor_, -1); }

void SeparatedBarGraph::drawBars(const std::vector<double>& data, double max, const platform::ColorRef& color,
                                 int direction) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context || data.empty() || max == 0 || !std::isfinite(max)) {
    return;
  }
  const double width = bounds().width();
  const double middle = bounds().height() / 2;
  const double margin = this->margin();
  const auto count = static_cast<double>(data.size());
  const double barWidth = (width - barSpacing * (count - 1) - margin) / count;
  // The lower bars start a quarter point under the middle line.
  const double base = direction > 0 ? middle : middle - 0.25;
  for (std::size_t index = 0; index < data.size(); ++index) {
    if (data[index] == 0) {
      continue;
    }
    const double x = margin + static_cast<double>(index) * (barWidth + barSpacing);
    const double end = middle + direction * (middle * data[index] / max);
    platform::BezierPath bar;
    bar.move({x, base});
    bar.line({x + barWidth, base});
    bar.line({x + barWidth, end});
    bar.line({x, end});
    bar.close();
    ChartBar::strokeThenFill(*context, bar.path(), barLineWidth, color, colorAlpha_);
  }
}

void SeparatedBarGraph::drawMiddleLine() {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context) {
    return;
  }
  const double y = bounds().height() / 2 - 0.5;
  platform::BezierPath line;
  line.move({margin(), y});
  line.line({bounds().width(), y});
  context->setStrokeColor(SystemColors::separatorColor()->rgba());
  context->stroke(line);
}

void SeparatedBarGraph::drawGridLines() {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context || !isMouseInside_) {
    return;
  }
  const double width = bounds().width();
  const double height = bounds().height();
  platform::BezierPath lines;
  lines.strokeStyle().lineWidth = gridLineWidth;
  for (const double y :
       {std::trunc(0.75 * height) - 0.25, height - 0.25, std::trunc(0.25 * height) - 0.25, 0.25}) {
    lines.move({mouseOffset_, y});
    lines.line({width, y});
  }
  context->setStrokeColor(SystemColors::separatorColor()->rgba());
  context->stroke(lines);
}

void SeparatedBarGraph::drawLegend() {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!context || !isMouseInside_ || legendLabelsY_.size() != 5) {
    return;
  }
  const double height = bounds().height();
  const platform::TextAttributes attributes = TextUtilities::textAttributes(
      platform::TextAlignment::right, SystemColors::labelColor(), false, legendFontSize);
  const double ys[] = {height - 10, std::trunc(0.75 * height) - 5, 0.5 * height - 5, 0,
                       std::trunc(0.25 * height) - 5};
  for (std::size_t k = 0; k < 5; ++k) {
    platform::TextRenderer::draw(*context, legendLabelsY_[k], attributes,
                                 platform::Rect(3, ys[k] + 1, mouseOffset_ - 3, 10));
  }
}

}  // namespace Tavrix
