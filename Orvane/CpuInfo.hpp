#pragma once

#include "Orvane/KeyedCoding.hpp"

namespace Orvane {

// The processor use of one process.
class CpuInfo {
 public:
  // Processor time (user and system) the process has used since it started, in seconds.
  double time = 0;
  // Its share of the processors over the last refresh interval, in percent.
  float usage = 0;

  // {"time": ..., "usage": ...}, a value that is not finite as 0 (decode takes back whatever this gives).
  KeyedCoding::Object encode() const;
  // Throws DecodingError when a key is missing or mistyped.
  static CpuInfo decode(const KeyedCoding::Object& object);
};

}  // namespace Orvane
