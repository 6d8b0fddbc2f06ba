#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/RenderTime.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace graphtest {

// A graph view with no grid and no labels, its maximum stored as given and its minimum 0.
inline std::shared_ptr<Tavrix::GraphView> bareGraph(double width, double height, double max) {
  auto graph = platform::View::create<Tavrix::GraphView>(platform::Rect(0, 0, width, height));
  graph->gridOptions().drawTopLine = false;
  graph->gridOptions().drawBottomLine = false;
  graph->gridOptions().verticalSegments = 0;
  graph->gridOptions().horizontalSegments = 0;
  graph->setScaleMode(Tavrix::ScaleMode::none);
  graph->setMaxValue(max);
  graph->setLabelsEnabled(false);
  return graph;
}

// Renders the view at scale 1 at a time (settled unless given), writes it to gallery/<name>.png beside the
// build tree's bin/ for a person to look at, and returns the image.
inline std::shared_ptr<platform::Image> galleryPicture(
    platform::View& view, const std::string& name, platform::RenderTime time = platform::RenderTime::settled()) {
  const auto build = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path();
  const auto directory = build / "gallery";
  std::filesystem::create_directories(directory);
  platform::ViewRenderer::writePng(view, (directory / (name + ".png")).string(), 1, time);
  return platform::ViewRenderer::image(view, 1, time);
}

// The pixel under a point of a flipped view (y down from the top edge), as the plotters place them.
inline platform::Rgba pixelBelowTop(const platform::Image& image, double x, double y) {
  return platform::test::pixelAt(image, x, image.pixelHeight() / image.scale() - y);
}

// A colour as a rendered pixel stores it: components multiplied by alpha.
inline platform::Rgba premultiplied(const platform::Rgba& color) {
  return {color.red * color.alpha, color.green * color.alpha, color.blue * color.alpha, color.alpha};
}

}  // namespace graphtest
