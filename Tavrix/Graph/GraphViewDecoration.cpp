// The view's own decoration: grid, tick dots and value labels.
#include <cmath>
#include <string>
#include <utility>

#include "Platform/Foundation/SaturatingCast.hpp"
#include "Platform/Foundation/TextFormat.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Platform/Graphics/TextAttributes.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/NSView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/Utilities.hpp"
#include "Tavrix/Graph/GraphView.hpp"

namespace Tavrix {

namespace {

using platform::BezierPath;
using platform::Point;

constexpr double labelWidth = 128;
constexpr double labelMargin = 4;

void addLine(BezierPath& path, Point from, Point to) {
  path.move(from);
  path.line(to);
}

// A shape layer that strokes the grid's lines.
void styleGridLines(platform::ShapeLayer& layer, const GridOptions& options) {
  layer.setStrokeColor(options.color ? std::optional<platform::Rgba>(options.color->rgba()) : std::nullopt);
  layer.setLineWidth(options.gridLineWidth);
  layer.setFillColor(std::nullopt);
  layer.setContentsScale(mainScreenScale());
}

void addDot(BezierPath& path, Point center, double radius) {
  path.move(center);
  path.appendArc(center, radius, 0, 360);
}

// Masks a tick layer with filled dots.
void applyDots(GradientLayer& layer, const BezierPath& dots) {
  layer.setStrokeColor(platform::Color::clear());
  layer.setFillColor(platform::Color::black());
  layer.setLineWidth(0);
  layer.setPath(dots);
}

}  // namespace

// One shape layer holds the top line and the inner lines (dashed as the options say); the bottom line is a
// solid layer of its own. Inner lines split the plot (the view minus the bottom inset) into equal bands.
void GraphView::drawGrid() {
  gridLayer_->removeFromSuperlayer();
  bottomLineLayer_->removeFromSuperlayer();
  const GridOptions& options = gridOptions_;
  const std::shared_ptr<platform::Layer> host = layer();
  if (!host || (!options.drawTopLine && !options.drawBottomLine && options.verticalSegments == 0 &&
                options.horizontalSegments == 0)) {
    return;
  }
  const double width = bounds().width();
  const double plotHeight = bounds().height() - bottomInset();
  const double lineWidth = options.gridLineWidth;

  styleGridLines(*gridLayer_, options);
  gridLayer_->setLineDashPhase(options.lineDashPhase);
  gridLayer_->setLineDashPattern(options.lineDashPattern.value_or(std::vector<double>{}));

  BezierPath path;
  if (options.drawTopLine) {
    addLine(path, {0, lineWidth / 2}, {width, lineWidth / 2});
  }
  if (options.drawBottomLine) {
    styleGridLines(*bottomLineLayer_, options);
    BezierPath bottomLine;
    addLine(bottomLine, {0, plotHeight - lineWidth / 2}, {width, plotHeight - lineWidth / 2});
    bottomLineLayer_->setPath(NSBezierPath::cgPath(bottomLine));
    host->addSublayer(bottomLineLayer_);
  }
  for (int i = 1; i < options.horizontalSegments; ++i) {
    const double y = plotHeight / options.horizontalSegments * i - lineWidth / 2;
    addLine(path, {0, y}, {width, y});
  }
  for (int i = 1; i < options.verticalSegments; ++i) {
    const double x = width / options.verticalSegments * i;
    addLine(path, {x, 0}, {x, plotHeight});
  }
  gridLayer_->setPath(NSBezierPath::cgPath(path));
  host->addSublayer(gridLayer_);
}

// Large dots in the gradient of fillColors at both ends and at every (n - 1)-th of the width, small dots in
// the separator colour midway between them, all centred on the bottom edge of the plot.
void GraphView::drawTickMarks() {
  if (largeTickLayer_) {
    largeTickLayer_->removeFromSuperlayer();
  }
  if (smallTickLayer_) {
    smallTickLayer_->removeFromSuperlayer();
  }
  const TickOptions& options = tickOptions_;
  const int count = options.numberOfTicks;
  const double inset = bottomInset();
  if (!options.showTickMarks || count < 1 || inset == 0) {
    return;
  }
  largeTickLayer_ = std::make_shared<GradientLayer>(layer(), options.fillColors, bounds());
  if (options.enableSmallTicks) {
    smallTickLayer_ = std::make_shared<GradientLayer>(
        layer(), std::vector<platform::ColorRef>{SystemColors::separatorColor()}, bounds());
  }
  const double width = bounds().width();
  const double y = bounds().height() - inset;
  const double step = width / (count - 1);
  BezierPath large;
  BezierPath small;
  for (int i = 0; i < count; ++i) {
    double x = step * i;
    if (i == 0) {
      x = options.largeRadius;
    } else if (i == count - 1) {
      x = width - options.largeRadius;
    }
    addDot(large, {x, y}, options.largeRadius);
    // With a single dot the step is infinite and there is no gap to mark.
    const double smallX = step * i - step / 2;
    if (options.enableSmallTicks && std::isfinite(smallX)) {
      addDot(small, {smallX, y}, options.smallRadius);
    }
  }
  if (options.enableSmallTicks && smallTickLayer_) {
    applyDots(*smallTickLayer_, small);
  }
  applyDots(*largeTickLayer_, large);
}

// Minimum, half and maximum labels at the right edge, 128 points wide and right-aligned, so that each text
// ends 4 points from the edge: the minimum's text just above the bottom of the plot, the half centred on
// the plot's middle, the maximum 4 points below the top. White on a dark appearance, else black.
void GraphView::drawValueLabels() {
  platform::removeAllFromSuperlayer(textLayers_);
  if (!isLabelsEnabled_ || !layer()) {
    return;
  }
  const double x = bounds().width() - labelWidth - labelMargin;
  const double height = bounds().height();
  const double inset = bottomInset();
  const double pointSize = fontOptions_.font->pointSize();
  const auto textHeight = [this](const std::string& text) {
    return platform::TextMeasurer::boundingSize(text, {.font = fontOptions_.font}, {labelWidth, 96}).height;
  };
  if (fontOptions_.showMinValue) {
    std::string text = valueLabelText(mMinValue_);
    const double y = height - inset - labelMargin - textHeight(text);
    addValueLabel(std::move(text), {x, y, labelWidth, pointSize});
  }
  if (fontOptions_.showHalfValue) {
    std::string text = valueLabelText(mMinValue_ + (mMaxValue_ - mMinValue_) * 0.5);
    const double y = height * 0.5 - inset * 0.5 - textHeight(text) * 0.5;
    addValueLabel(std::move(text), {x, y, labelWidth, pointSize});
  }
  if (fontOptions_.showMaxValue) {
    addValueLabel(valueLabelText(mMaxValue_), {x, labelMargin, labelWidth, pointSize});
  }
}

void GraphView::addValueLabel(std::string text, const platform::Rect& frame) {
  auto label = std::make_shared<platform::TextLayer>();
  label->setFont(fontOptions_.font);
  label->setForegroundColor(NSView::isDark(*this) ? platform::Rgba{1, 1, 1, 1} : platform::Rgba{0, 0, 0, 1});
  label->setFontSize(fontOptions_.font->pointSize());
  label->setString(std::move(text));
  label->setContentsScale(mainScreenScale());
  label->setFrame(frame);
  label->setAlignmentMode(platform::TextAlignment::right);
  label->setZPosition(512);
  layer()->addSublayer(label);
  textLayers_.push_back(std::move(label));
}

// The value times autoGraphModeTextScale, with no decimals, a blank and the unit. In the speed modes the
// value is divided by the divisor of the unit step of the maximum, the step the unit was chosen from, so
// that every label reads in the unit it shows.
std::string GraphView::valueLabelText(double value) const {
  const double scale = autoGraphModeTextScale_;
  double number = scale * value;
  if (autoGraphMode_ != AutoGraphMode::none) {
    const bool bits = autoGraphMode_ == AutoGraphMode::bitSpeed;
    number = (bits ? number * 8 : number) /
             Utilities::unitDivisor(platform::saturatingCast<std::uint64_t>(mMaxValue_), bits);
  }
  return platform::formatC("%.0f %s", number, unit_.c_str());
}

}  // namespace Tavrix
