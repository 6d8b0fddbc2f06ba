#include "Tavrix/Graph/GraphView.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Foundation/SaturatingCast.hpp"
#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/Utilities.hpp"
#include "Tavrix/Graph/IAnimatable.hpp"

namespace Tavrix {

namespace {

// Graph views also come from interface files, which name their class.
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<GraphView>("GraphView", "View");
  return true;
}();

// step times the quotient rounded half away from zero, the product formed in signed 64-bit whole numbers
// and saturated at their limits.
double roundedMultiple(double step, double quotient) {
  constexpr std::int64_t largest = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t smallest = std::numeric_limits<std::int64_t>::min();
  const std::int64_t whole = platform::saturatingCast<std::int64_t>(std::round(quotient));
  std::int64_t product = 0;
  if (__builtin_mul_overflow(static_cast<std::int64_t>(step), whole, &product)) {
    product = whole < 0 ? smallest : largest;
  }
  return static_cast<double>(product);
}

}  // namespace

GraphView::GraphView(const platform::Rect& frame) : View(frame) {
  tickOptions_.fillColors = {SystemColors::separatorColor()};
}

void GraphView::didInit() {
  View::didInit();
  refresh();
}

std::shared_ptr<IDataPlotter> GraphView::plotterAt(std::size_t index) const {
  return index < plotters_.size() ? plotters_[index] : nullptr;
}

std::shared_ptr<GraphView> GraphView::sharedGraphView() {
  return std::static_pointer_cast<GraphView>(shared_from_this());
}

void GraphView::setReverseCoordinates(bool reverse) {
  reverseCoordinates_ = reverse;
  layout();
}

void GraphView::setLabelsEnabled(bool enabled) {
  isLabelsEnabled_ = enabled;
  refresh();
}

void GraphView::setAxisX(std::shared_ptr<IAxis> axis) {
  const std::shared_ptr<IAxis> previous = std::exchange(axisX_, std::move(axis));
  platform::AppearanceScope scope(effectiveAppearance());
  if (previous) {
    previous->clear();
  }
  drawGrid();
  if (axisX_) {
    axisX_->draw(layer(), gridOptions_.gridLineWidth);
  }
  drawTickMarks();
  refresh();
}

double GraphView::bottomInset() const {
  if (axisX_) {
    return axisX_->height();
  }
  return tickOptions_.showTickMarks && tickOptions_.numberOfTicks >= 1 ? 4 : 0;
}

void GraphView::setMinValue(double value) {
  if (value == 0 || !std::isfinite(value) || scaleMode_ == ScaleMode::none || useZeroAsMin_) {
    mMinValue_ = 0;
    return;
  }
  const double step = rawValue(scaleMode_);
  mMinValue_ = roundedMultiple(step, (value - step) / step);
}

void GraphView::setMaxValue(double value) {
  if (scaleMode_ == ScaleMode::none) {
    mMaxValue_ = value;
    return;
  }
  if (value == 0 || !std::isfinite(value)) {
    mMaxValue_ = 100;
    return;
  }
  switch (autoGraphMode_) {
    case AutoGraphMode::none: {
      const double step = rawValue(scaleMode_);
      mMaxValue_ = roundedMultiple(step, (value + step) / step);
      return;
    }
    case AutoGraphMode::byteSpeed:
    case AutoGraphMode::bitSpeed:
      unit_ = Utilities::rateUnit(platform::saturatingCast<std::uint64_t>(value),
                                  autoGraphMode_ == AutoGraphMode::bitSpeed);
      mMaxValue_ = value;
      return;
  }
}

void GraphView::addPlotter(const std::shared_ptr<IDataPlotter>& plotter) {
  plotters_.push_back(plotter);
  plotter->setDelegate(sharedGraphView());
  if (plotter->data().empty()) {
    drawPlotter(*plotter);
  } else {
    plotterDidUpdateData(plotter);
  }
}

void GraphView::animate() {
  for (const std::shared_ptr<IDataPlotter>& plotter : plotters_) {
    if (auto* animatable = dynamic_cast<IAnimatable*>(plotter.get())) {
      animatable->animate(layer(), mMaxValue_, bottomInset());
    }
  }
}

void GraphView::removeAllPlotters() {
  for (const std::shared_ptr<IDataPlotter>& plotter : plotters_) {
    plotter->clear();
  }
  plotters_.clear();
}

void GraphView::refresh() {
  platform::AppearanceScope scope(effectiveAppearance());
  setWantsLayer(true);
  layer()->setMasksToBounds(true);
  redraw();
  drawValueLabels();
}

void GraphView::redraw() {
  drawGrid();
  for (const std::shared_ptr<IDataPlotter>& plotter : plotters_) {
    plotter->draw(layer(), mMinValue_, mMaxValue_, bottomInset());
  }
  if (axisX_) {
    axisX_->draw(layer(), gridOptions_.gridLineWidth);
  }
}

void GraphView::calculateMax() {
  double largest = std::numeric_limits<double>::min();
  for (const std::shared_ptr<IDataPlotter>& plotter : plotters_) {
    for (const std::optional<double>& value : plotter->data()) {
      if (value && *value > largest) {
        largest = *value;
      }
    }
  }
  setMaxValue(largest);
}

void GraphView::drawPlotter(IDataPlotter& plotter) {
  platform::AppearanceScope scope(effectiveAppearance());
  plotter.draw(layer(), mMinValue_, mMaxValue_, bottomInset());
}

void GraphView::queueRedraw(const std::shared_ptr<IDataPlotter>& plotter) {
  platform::DispatchQueue::main().async([self = sharedGraphView(), plotter] { self->drawPlotter(*plotter); });
}

void GraphView::plotterDidUpdateData(const std::shared_ptr<IDataPlotter>& plotter) {
  if (!platform::isMainThread()) {
    platform::DispatchQueue::main().async(
        [self = sharedGraphView(), plotter] { self->plotterDidUpdateData(plotter); });
    return;
  }
  if (autoCalculateMax_) {
    calculateMax();
  }
  queueRedraw(plotter);
}

void GraphView::plotterNeedsRedraw(const std::shared_ptr<IDataPlotter>& plotter) { queueRedraw(plotter); }

void GraphView::viewWillMoveToSuperview(platform::View* newSuperview) {
  View::viewWillMoveToSuperview(newSuperview);
  if (newSuperview) {
    return;
  }
  removeAllPlotters();
  if (axisX_) {
    axisX_->clear();
  }
  setAxisX(nullptr);
}

void GraphView::viewDidChangeEffectiveAppearance() {
  View::viewDidChangeEffectiveAppearance();
  refresh();
}

void GraphView::layout() {
  View::layout();
  refresh();
}

}  // namespace Tavrix
