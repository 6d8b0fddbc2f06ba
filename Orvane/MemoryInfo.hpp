#pragma once

#include <cstdint>

#include "Orvane/KeyedCoding.hpp"

namespace Orvane {

// The memory use of one process.
class MemoryInfo {
 public:
  // Resident memory, in bytes.
  std::uint64_t totalBytes = 0;

  // {"totalBytes": ...}
  KeyedCoding::Object encode() const;
  // Throws DecodingError when the key is missing or mistyped.
  static MemoryInfo decode(const KeyedCoding::Object& object);
};

}  // namespace Orvane
