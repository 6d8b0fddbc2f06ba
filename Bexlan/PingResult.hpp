#pragma once

namespace Bexlan {

// The answer of a HEAD reachability check.
struct PingResult {
  // True when the answer is HTTP with a status from 200 to 299.
  bool isSuccess = false;
  // Seconds from just before the request was handed over to the arrival of its answer (monotonic clock).
  double responseTime = 0;
};

}  // namespace Bexlan
