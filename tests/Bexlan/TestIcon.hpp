#pragma once

#include <memory>

#include "Bexlan/Identifier.hpp"

namespace Bexlan::testing {

// A non-null icon for tests that only check that an entry stores and hands back the icon it was given.
// Entries never look inside an image, so the pointer aliases an anchor of its own and owns nothing.
inline Icon testIcon() {
  static const int anchor = 0;
  return Icon(std::shared_ptr<const void>(), reinterpret_cast<const platform::Image*>(&anchor));
}

}  // namespace Bexlan::testing
