#pragma once

namespace Tavrix {

// How a time axis labels its samples: one month label per sample in equal slots (lastYear), or month labels
// at month starts for every fourth sample, newest first (weekly).
enum class TimePeriod { lastYear, weekly };

}  // namespace Tavrix
