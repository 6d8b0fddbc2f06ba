#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Layer.hpp"

namespace Tavrix {

class PlotterDelegate;

// One optional value per sample, drawn from left to right; an absent value is a gap whose drawing each
// plotter decides.
using PlotterData = std::vector<std::optional<double>>;

// A data series that draws itself into a graph view's layer.
class IDataPlotter {
 public:
  virtual ~IDataPlotter() = default;

  virtual const PlotterData& data() const = 0;
  // The graph view the plotter reports to. Held weakly, so that a view and its plotters never keep each
  // other alive; null when unset, after clear(), or once the view is gone.
  virtual std::shared_ptr<PlotterDelegate> delegate() const = 0;
  virtual void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) = 0;
  // Replaces the series, then tells the delegate (plotterDidUpdateData).
  virtual void update(PlotterData data) = 0;
  // Removes the plotter's previous layers and builds new ones inside layer for the value range min...max,
  // leaving bottomInset points free at the bottom. A null layer only removes.
  virtual void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
                    double bottomInset) = 0;
  // Removes the plotter's layers and forgets them, empties its data and drops its delegate.
  virtual void clear() = 0;
};

}  // namespace Tavrix
