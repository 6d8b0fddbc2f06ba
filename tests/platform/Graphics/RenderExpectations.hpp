#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <concepts>
#include <initializer_list>
#include <memory>
#include <ostream>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

inline void PrintTo(const Rgba& color, std::ostream* out) {
  *out << "(" << color.red << ", " << color.green << ", " << color.blue << ", " << color.alpha << ")";
}

namespace test {

inline constexpr Rgba transparent{0, 0, 0, 0};
inline constexpr Rgba opaqueRed{1, 0, 0, 1};
inline constexpr Rgba opaqueGreen{0, 1, 0, 1};
inline constexpr Rgba opaqueBlue{0, 0, 1, 1};
inline constexpr Rgba opaqueBlack{0, 0, 0, 1};

// A root layer of the given size, its bounds at the origin: the canvas of a render test.
inline std::shared_ptr<Layer> canvas(double width, double height) {
  auto layer = std::make_shared<Layer>();
  layer->setBounds(Rect(0, 0, width, height));
  return layer;
}

// A layer of the given frame filled with the colour, added to `parent`.
inline std::shared_ptr<Layer> addFilled(Layer& parent, const Rect& frame, const Rgba& color) {
  auto layer = std::make_shared<Layer>();
  layer->setFrame(frame);
  layer->setBackgroundColor(color);
  parent.addSublayer(layer);
  return layer;
}

// The pixel of an image under a point of its y-up point space (origin at the bottom-left corner).
inline Rgba pixelAt(const Image& image, double x, double y) {
  const int column = static_cast<int>(std::floor(x * image.scale()));
  const int row = image.pixelHeight() - 1 - static_cast<int>(std::floor(y * image.scale()));
  return image.pixel(column, row);
}

// Premultiplied components within a tolerance of a few 8-bit steps.
inline void expectRgba(const Rgba& actual, const Rgba& expected, double tolerance = 2.5 / 255) {
  EXPECT_NEAR(actual.red, expected.red, tolerance) << "red of " << testing::PrintToString(actual);
  EXPECT_NEAR(actual.green, expected.green, tolerance) << "green of " << testing::PrintToString(actual);
  EXPECT_NEAR(actual.blue, expected.blue, tolerance) << "blue of " << testing::PrintToString(actual);
  EXPECT_NEAR(actual.alpha, expected.alpha, tolerance) << "alpha of " << testing::PrintToString(actual);
}

// The colour expected under a point of an image's y-up point space.
struct ExpectedPixel {
  double x, y;
  Rgba color;
};

inline void expectPixels(const Image& image, std::initializer_list<ExpectedPixel> expected,
                         double tolerance = 2.5 / 255) {
  for (const ExpectedPixel& pixel : expected) {
    SCOPED_TRACE(testing::Message() << "at (" << pixel.x << ", " << pixel.y << ")");
    expectRgba(pixelAt(image, pixel.x, pixel.y), pixel.color, tolerance);
  }
}

// The smallest box of pixel columns and rows (rows counted from the top) holding every pixel that matches
// (by default: whose alpha is above the threshold); empty when there is none.
struct InkBox {
  int left = 0, top = 0, right = -1, bottom = -1;
  bool isEmpty() const { return right < left; }
};

template <std::predicate<const Rgba&> Matches>
InkBox inkBox(const Image& image, Matches matches) {
  InkBox box{image.pixelWidth(), image.pixelHeight(), -1, -1};
  for (int row = 0; row < image.pixelHeight(); ++row) {
    for (int column = 0; column < image.pixelWidth(); ++column) {
      if (matches(image.pixel(column, row))) {
        box = {std::min(box.left, column), std::min(box.top, row), std::max(box.right, column), row};
      }
    }
  }
  return box;
}

inline InkBox inkBox(const Image& image, double threshold = 0.2) {
  return inkBox(image, [threshold](const Rgba& pixel) { return pixel.alpha > threshold; });
}

inline int inkInRow(const Image& image, int row, double threshold = 0.2) {
  int count = 0;
  for (int column = 0; column < image.pixelWidth(); ++column)
    count += image.pixel(column, row).alpha > threshold;
  return count;
}

}  // namespace test
}  // namespace platform
