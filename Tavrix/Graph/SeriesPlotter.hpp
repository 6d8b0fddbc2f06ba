#pragma once

#include <memory>
#include <utility>

#include "Tavrix/Graph/IDataPlotter.hpp"

namespace Tavrix {

// What every plotter keeps: its series and, weakly, the graph view it reports to. Make plotters with
// std::make_shared: update() hands the plotter itself to the delegate. Main thread.
class SeriesPlotter : public IDataPlotter, public std::enable_shared_from_this<SeriesPlotter> {
 public:
  const PlotterData& data() const override { return data_; }
  std::shared_ptr<PlotterDelegate> delegate() const override { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) override { delegate_ = delegate; }
  // Stores the series, then calls plotterDidUpdateData on the delegate. Called off the main thread, the
  // whole step moves to the main queue, so the series is never written while a drawing pass reads it.
  void update(PlotterData data) override;

 protected:
  SeriesPlotter() = default;
  explicit SeriesPlotter(PlotterData data) : data_(std::move(data)) {}

  // Drops the delegate and empties the series: what every clear() does besides removing layers.
  void forgetSeries();

  PlotterData data_;

 private:
  std::weak_ptr<PlotterDelegate> delegate_;
};

}  // namespace Tavrix
