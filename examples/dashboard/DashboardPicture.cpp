#include "examples/dashboard/DashboardPicture.hpp"

#include <algorithm>
#include <chrono>

#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"

namespace dashboard {

namespace {

using platform::Rect;

constexpr double width = 480;
constexpr double height = 500;
constexpr double margin = 20;
constexpr double graphHeight = 150;
constexpr double barHeight = 8;
constexpr platform::Rgba background{0.11, 0.12, 0.14, 1};
constexpr platform::Rgba captionColor{0.85, 0.87, 0.9, 1};

void addCaption(platform::View& root, const std::string& text, double top) {
  auto caption = std::make_shared<platform::TextLayer>();
  caption->setString(text);
  caption->setFontSize(13);
  caption->setForegroundColor(captionColor);
  caption->setFrame(Rect(margin, height - top - 18, width - 2 * margin, 18));
  root.layer()->addSublayer(caption);
}

// A graph view with one curved line plotter fed with the history of `key` times `scale`, drawn from 0 to
// `maximum`.
void addHistoryGraph(platform::View& root, const Monitors& monitors, const std::string& key, double scale,
                     double maximum, double top) {
  auto graph = platform::View::create<Tavrix::GraphView>(
      Rect(margin, height - top - graphHeight, width - 2 * margin, graphHeight));
  graph->setMaxValue(maximum);
  auto plotter = std::make_shared<Tavrix::CurvedLinePlotter>(Tavrix::Gradients::ocean().mColors());
  graph->addPlotter(plotter);
  Tavrix::PlotterData data;
  for (double sample : monitors.container->store()->doubleHistory(key)) data.emplace_back(sample * scale);
  plotter->update(std::move(data));
  root.addSubview(graph);
}

void addUsageBar(platform::View& root, double fraction, double top) {
  auto bar = platform::View::create<Tavrix::GradientProgressView>(
      Rect(margin, height - top - barHeight, width - 2 * margin, barHeight));
  bar->setColors(Tavrix::Gradients::ocean().mColors());
  bar->setValue(std::clamp(fraction, 0.0, 1.0));
  root.addSubview(bar);
}

double startupDiskUsage(const Monitors& monitors) {
  for (const auto& volume : monitors.volumes->volumes()) {
    if (volume->isStartupVolume) return volume->usage();
  }
  return 0;
}

}  // namespace

void writePicture(const Monitors& monitors, const std::string& path) {
  auto root = platform::View::create<platform::View>(Rect(0, 0, width, height));
  root->setWantsLayer(true);
  root->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  root->layer()->setBackgroundColor(background);

  const auto& container = *monitors.container;
  double top = margin;
  addCaption(*root, "Processor load (%)", top);
  addHistoryGraph(*root, monitors, "CPU_T", 1, 100, top + 22);
  top += 22 + graphHeight + 16;
  addCaption(*root, "Memory in use (%)", top);
  addHistoryGraph(*root, monitors, "M_U", 100, 100, top + 22);
  top += 22 + graphHeight + 16;

  addCaption(*root, "Processor, memory and startup disk in use", top);
  const double barTop = top + 24;
  addUsageBar(*root, container.doubleValue("CPU_T") / 100, barTop);
  addUsageBar(*root, container.doubleValue("M_U"), barTop + 2 * barHeight);
  addUsageBar(*root, startupDiskUsage(monitors), barTop + 4 * barHeight);

  // Graph views draw their plotters from blocks queued on the main queue.
  platform::RunLoop::main().runFor(std::chrono::milliseconds(1));
  root->layoutSubtreeIfNeeded();
  platform::ViewRenderer::writePng(*root, path, 2);
}

}  // namespace dashboard
