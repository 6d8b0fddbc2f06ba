#pragma once

#include <cairo.h>

namespace platform {

// The blur of layer shadows. cairo has none, so shadows are blurred here: three box blurs in each
// direction, which together come close to a Gaussian blur. The result is an approximation of the platform's
// shadow, not a copy of it.
class ShadowBlur {
 public:
  // Larger deviations (in pixels) are drawn with this one, to bound the work and the memory.
  static constexpr double largestDeviation = 128;

  // The standard deviation in pixels of the Gaussian that a shadow radius stands for at a device scale:
  // half the radius, scaled; zero for a radius that is not above zero.
  static double deviation(double shadowRadius, double deviceScale);
  // How far in pixels the blur of that deviation reaches beyond the shape it blurs.
  static int reach(double deviation);
  // Blurs the alpha of an A8 image surface in place. Pixels beyond the edges count as transparent.
  static void blur(cairo_surface_t* alphaSurface, double deviation);
};

}  // namespace platform
