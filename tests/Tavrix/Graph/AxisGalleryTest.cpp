#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/PointAxis.hpp"
#include "Tavrix/Graph/TextAxis.hpp"
#include "Tavrix/Graph/TimeAxis.hpp"
#include "Tavrix/Graph/ValueAxis.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Each axis under a graph view with a curved plotter, written to gallery/axis-<name>.png under the build
// tree for a person to look at, with a few pixels checked.
namespace Tavrix {
namespace {

using platform::Rgba;
using platform::test::expectRgba;
using platform::test::pixelAt;

struct AxisGallery : testing::Test {
  platform::ScopedMainScreen screen{platform::Screen{1}};
  platform::ScopedRegion region{"en_US", "UTC", {"en"}};

  // Renders a 400 x 150 graph of a wave above the axis at scale 2 and writes it to the gallery.
  std::shared_ptr<platform::Image> render(const std::shared_ptr<IAxis>& axis, const std::string& name) {
    auto graph = platform::View::create<GraphView>(platform::Rect(0, 0, 400, 150));
    graph->setScaleMode(ScaleMode::none);
    graph->setMaxValue(100);
    graph->setAxisX(axis);
    auto plotter = std::make_shared<CurvedLinePlotter>(
        std::vector<platform::ColorRef>{Gradients::blue().start(), Gradients::blue().end()});
    plotter->setLineWidth(2);
    graph->addPlotter(plotter);
    PlotterData series;
    for (int i = 0; i < 30; ++i) series.push_back(50 + 30 * std::sin(i / 4.0));
    plotter->update(series);
    EXPECT_TRUE(graphtest::drainMainQueue());
    const auto directory = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "gallery";
    std::filesystem::create_directories(directory);
    platform::ViewRenderer::writePng(*graph, (directory / ("axis-" + name + ".png")).string(), 2);
    return platform::ViewRenderer::image(*graph, 2);
  }
};

TEST_F(AxisGallery, ValueAndPointAxes) {
  auto value = std::make_shared<ValueAxis>(0, 60, 4);
  value->setUnit("s");
  render(value, "value");
  auto points = std::make_shared<PointAxis>(
      std::vector{std::make_shared<AxisPoint>(10, "start"), std::make_shared<AxisPoint>(100, "end")}, 100);
  render(points, "point");
  EXPECT_EQ(value->layers().size() + points->layers().size(), 5u + 3u);
}

TEST_F(AxisGallery, TimeAxisTicksHangFromTheBand) {
  auto axis = std::make_shared<TimeAxis>();
  std::vector<double> months;
  for (int month = 0; month < 12; ++month) months.push_back(1704067200 + month * 2678400.0);
  axis->setTimestamps(months);
  axis->setTickColor(SystemColors::systemRed());
  const auto image = render(axis, "time");
  // Slots of 100/3: the first tick is the column x = 2, from 24 to 22 points above the bottom edge.
  const Rgba red = SystemColors::systemRed()->rgba();
  expectRgba(pixelAt(*image, 2.1, 23), red);
  EXPECT_EQ(pixelAt(*image, 12, 23).alpha, 0);
}

TEST_F(AxisGallery, TextAxisSlotsAndSelection) {
  auto axis = std::make_shared<TextAxis>();
  axis->setTexts({"CPU", "Memory", "Disk"});
  axis->setAlignMode(TextAlignMode::centered);
  axis->setFillLabel(true);
  axis->setSelectedIndex(1);
  const auto image = render(axis, "text");
  // The selected slot is opaque black below its label; the first two points hold no background.
  expectRgba(pixelAt(*image, 200, 2), {0, 0, 0, 1});
  const Rgba separator = SystemColors::separatorColor()->rgba();
  expectRgba(pixelAt(*image, 60, 2), {0, 0, 0, separator.alpha});
  EXPECT_EQ(pixelAt(*image, 1, 2).alpha, 0);
  expectRgba(pixelAt(*image, 2.5, 2), {0, 0, 0, separator.alpha});
}

}  // namespace
}  // namespace Tavrix
