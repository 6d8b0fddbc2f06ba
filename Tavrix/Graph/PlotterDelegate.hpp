#pragma once

#include <memory>

namespace Tavrix {

class IDataPlotter;

// What a plotter tells its graph view: that one of its drawing properties changed, or that its data did.
class PlotterDelegate {
 public:
  virtual ~PlotterDelegate() = default;

  virtual void plotterNeedsRedraw(const std::shared_ptr<IDataPlotter>& plotter) = 0;
  virtual void plotterDidUpdateData(const std::shared_ptr<IDataPlotter>& plotter) = 0;
};

}  // namespace Tavrix
