#include "Platform/Graphics/ShadowBlur.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace platform {

namespace {

// Widths of three box filters whose sequence has the given standard deviation: the two odd widths around
// the ideal one, the narrower used for the first m passes (Kovesi's construction).
std::array<int, 3> boxWidths(double deviation) {
  constexpr int passes = 3;
  const double variance = deviation * deviation;
  const double ideal = std::sqrt(12 * variance / passes + 1);
  int lower = static_cast<int>(std::floor(ideal));
  if (lower % 2 == 0) {
    --lower;
  }
  const int upper = lower + 2;
  const double narrow =
      (12 * variance - passes * lower * lower - 4 * passes * lower - 3 * passes) / (-4.0 * lower - 4);
  const int narrowPasses = static_cast<int>(std::lround(narrow));
  std::array<int, 3> widths{};
  for (int i = 0; i < passes; ++i) {
    widths[static_cast<std::size_t>(i)] = i < narrowPasses ? lower : upper;
  }
  return widths;
}

// One box filter of the given odd width along a line of count values spaced step apart, through scratch.
void boxLine(std::uint8_t* line, int count, std::ptrdiff_t step, int width,
             std::vector<std::uint32_t>& scratch) {
  const int radius = width / 2;
  for (int i = 0; i < count; ++i) {
    scratch[static_cast<std::size_t>(i)] = line[i * step];
  }
  std::uint32_t sum = 0;
  for (int i = 0; i < std::min(radius, count); ++i) {
    sum += scratch[static_cast<std::size_t>(i)];
  }
  for (int i = 0; i < count; ++i) {
    if (i + radius < count) {
      sum += scratch[static_cast<std::size_t>(i + radius)];
    }
    if (i - radius - 1 >= 0) {
      sum -= scratch[static_cast<std::size_t>(i - radius - 1)];
    }
    line[i * step] = static_cast<std::uint8_t>((sum + static_cast<std::uint32_t>(width) / 2) /
                                               static_cast<std::uint32_t>(width));
  }
}

}  // namespace

double ShadowBlur::deviation(double shadowRadius, double deviceScale) {
  if (!(shadowRadius > 0) || !(deviceScale > 0)) {
    return 0;
  }
  return std::min(shadowRadius / 2 * deviceScale, largestDeviation);
}

int ShadowBlur::reach(double deviation) {
  return deviation > 0 ? static_cast<int>(std::ceil(3 * std::min(deviation, largestDeviation))) + 2 : 0;
}

void ShadowBlur::blur(cairo_surface_t* alphaSurface, double deviation) {
  if (!(deviation > 0) || cairo_image_surface_get_format(alphaSurface) != CAIRO_FORMAT_A8) {
    return;
  }
  cairo_surface_flush(alphaSurface);
  std::uint8_t* data = cairo_image_surface_get_data(alphaSurface);
  const int width = cairo_image_surface_get_width(alphaSurface);
  const int height = cairo_image_surface_get_height(alphaSurface);
  const std::ptrdiff_t stride = cairo_image_surface_get_stride(alphaSurface);
  std::vector<std::uint32_t> scratch(static_cast<std::size_t>(std::max(width, height)));
  for (const int box : boxWidths(std::min(deviation, largestDeviation))) {
    if (box <= 1) {
      continue;
    }
    for (int row = 0; row < height; ++row) {
      boxLine(data + row * stride, width, 1, box, scratch);
    }
    for (int column = 0; column < width; ++column) {
      boxLine(data + column, height, stride, box, scratch);
    }
  }
  cairo_surface_mark_dirty(alphaSurface);
}

}  // namespace platform
