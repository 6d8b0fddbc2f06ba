#include "Tavrix/Graph/LinePlotter.hpp"

#include <utility>

#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Graph/PlotterNotifications.hpp"
#include "Tavrix/Graph/SeriesThinning.hpp"

namespace Tavrix {

LinePlotter::LinePlotter() : lineWidth_(4 * Constants::onePixel()), strokeColor_(Colors::gradientStart()) {}

void LinePlotter::update(PlotterData data) {
  updateOnMainThread(*this, std::move(data), [this](PlotterData stored) {
    data_ = stored;
    mData_ = std::move(stored);
  });
}

void LinePlotter::clear() {
  removeLayers();
  forgetSeries();
  mData_.clear();
  calculatedPoints_.clear();
}

void LinePlotter::truncate(double width) {
  if (!truncated_) {
    mData_ = thinnedSeries(data_, width, minimumDistance_);
  }
}

bool LinePlotter::startPass(double min, double max) {
  calculatedPoints_.clear();
  removeLayers();
  return max > 0 && min <= max;
}

void LinePlotter::thinForWidth(const platform::Layer& layer) {
  if (truncateData_ && !truncated_) {
    truncate(layer.frame().width());
  }
}

void LinePlotter::removeLayers() {
  if (strokeLayer_) {
    strokeLayer_->removeFromSuperlayer();
  }
}

}  // namespace Tavrix
