#pragma once

#include <stdexcept>
#include <string>

namespace Orvane {

// A keyed decoding failed: a required key is missing or holds a value of the wrong kind or range. The
// message names the key.
class DecodingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace Orvane
