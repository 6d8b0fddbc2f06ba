#pragma once

namespace Bexlan {

// How the number of an entry is shown: as a plain number, as a byte size ("1.5 KB") or as a percentage
// with a percent sign ("42 %").
enum class IdentifierCategory {
  raw,
  size,
  percentage,
};

}  // namespace Bexlan
