#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/RenderTime.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Pictures of controls for a person to look at: PNG files under the build tree (gallery/ beside bin/).
namespace Tavrix::gallery {

inline constexpr double scale = 2;

// Writes the image as gallery/<name>.png.
inline void save(const platform::Image& image, const std::string& name) {
  const std::filesystem::path directory =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "gallery";
  std::filesystem::create_directories(directory);
  const std::filesystem::path file = directory / (name + ".png");
  image.writePng(file.string());
  EXPECT_TRUE(std::filesystem::exists(file));
}

// Renders the view (at the settled time unless given), saves it as gallery/<name>.png and returns the image.
inline std::shared_ptr<platform::Image> picture(platform::View& view, const std::string& name,
                                                double pictureScale = scale,
                                                platform::RenderTime time = platform::RenderTime::settled()) {
  auto image = platform::ViewRenderer::image(view, pictureScale, time);
  save(*image, name);
  return image;
}

// A colour as a rendered pixel stores it: components multiplied by alpha.
inline platform::Rgba premultiplied(const platform::Rgba& color) {
  return {color.red * color.alpha, color.green * color.alpha, color.blue * color.alpha, color.alpha};
}

// The colour a fraction t of the way from one colour to another, every component mixed alike.
inline platform::Rgba mix(const platform::Rgba& from, const platform::Rgba& to, double t) {
  return {from.red + (to.red - from.red) * t, from.green + (to.green - from.green) * t,
          from.blue + (to.blue - from.blue) * t, from.alpha + (to.alpha - from.alpha) * t};
}

// Each of the points (y-up, in points) of the image shows the colour, premultiplied.
inline void expectColorAt(const platform::Image& image, const platform::Rgba& color,
                          std::initializer_list<platform::Point> points) {
  for (const platform::Point& point : points)
    platform::test::expectPixels(image, {{point.x, point.y, color}});
}

}  // namespace Tavrix::gallery
