#include "Tavrix/Graph/SeriesPlotter.hpp"

#include "Tavrix/Graph/PlotterNotifications.hpp"

namespace Tavrix {

void SeriesPlotter::update(PlotterData data) {
  updateOnMainThread(*this, std::move(data), [this](PlotterData stored) { data_ = std::move(stored); });
}

void SeriesPlotter::forgetSeries() {
  delegate_.reset();
  data_.clear();
}

}  // namespace Tavrix
