#pragma once

#include "Tavrix/Graph/IDataPlotter.hpp"

namespace Tavrix {

// The thinning of the line plotters: k = width / minimumDistance slots (whole slots only), and of a series
// of n > k samples every (n / k)-th sample, k in all, starting with the first (the newest samples beyond
// k * (n / k) are dropped). A series that fits, a width that holds less than one slot, or a width or
// distance that makes no number of slots gives the whole series.
PlotterData thinnedSeries(const PlotterData& data, double width, double minimumDistance);

}  // namespace Tavrix
