#include "Tavrix/Graph/SeriesThinning.hpp"

#include <cmath>
#include <cstddef>

namespace Tavrix {

PlotterData thinnedSeries(const PlotterData& data, double width, double minimumDistance) {
  const double slots = std::floor(width / minimumDistance);
  const std::size_t count = data.size();
  if (!(slots >= 1) || slots >= static_cast<double>(count)) {
    return data;
  }
  const auto kept = static_cast<std::size_t>(slots);
  const std::size_t step = count / kept;
  PlotterData thinned;
  thinned.reserve(kept);
  for (std::size_t i = 0; i < kept; ++i) {
    thinned.push_back(data[i * step]);
  }
  return thinned;
}

}  // namespace Tavrix
