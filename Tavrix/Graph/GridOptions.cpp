#include "Tavrix/Graph/GridOptions.hpp"

#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

GridOptions::GridOptions() : gridLineWidth(2 / mainScreenScale()), color(SystemColors::separatorColor()) {}

}  // namespace Tavrix
