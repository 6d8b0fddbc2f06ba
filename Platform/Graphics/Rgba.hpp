#pragma once

namespace platform {

// A resolved colour in device RGB with straight (not premultiplied) alpha, every component in 0...1. This is
// what layers store: a colour handed to a layer is resolved once, at the moment it is set.
struct Rgba {
  double red = 0;
  double green = 0;
  double blue = 0;
  double alpha = 1;

  friend bool operator==(const Rgba&, const Rgba&) = default;
};

}  // namespace platform
