#include "examples/dashboard/DashboardPicture.hpp"

#include <algorithm>
#include <chrono>

#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/DoubleGauge.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/StackedSegmentView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/SeparatedBarGraph.hpp"

namespace dashboard {

namespace {

using platform::Rect;

constexpr double width = 480;
constexpr double height = 780;
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

// A graph view with one curved line plotter fed with the samples of `key` that `refreshes` refreshes wrote
// (the newest ones of its history) times `scale`, drawn from 0 to `maximum`. The older samples are not
// measurements of a tick: the history starts as zeros, a monitor may write samples of its own when it
// registers its keys (the memory monitor writes a usage of 1 and then 0), which would draw as a spike, and
// the first reading before the timer started wrote the processor's average since boot.
void addHistoryGraph(platform::View& root, const Monitors& monitors, long refreshes, const std::string& key,
                     double scale, double maximum, double top) {
  auto graph = platform::View::create<Tavrix::GraphView>(
      Rect(margin, height - top - graphHeight, width - 2 * margin, graphHeight));
  graph->setMaxValue(maximum);
  auto plotter = std::make_shared<Tavrix::CurvedLinePlotter>(Tavrix::Gradients::ocean().mColors());
  graph->addPlotter(plotter);
  const std::vector<double> history = monitors.container->store()->doubleHistory(key);
  const auto written = std::min(history.size(), static_cast<std::size_t>(std::max(refreshes, 0L)));
  Tavrix::PlotterData data;
  for (auto sample = history.end() - static_cast<std::ptrdiff_t>(written); sample != history.end();
       ++sample) {
    data.emplace_back(*sample * scale);
  }
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

// Memory as one bar of shares of the physical memory, left to right: active, inactive, wired, compressed
// and free. Whatever the five leave (kernel buffers the statistics do not count) shows as the track.
void addMemoryShares(platform::View& root, const Monitors& monitors, double top) {
  const Orvane::MemoryStatistics memory = monitors.memory->statistics();
  const double total = static_cast<double>(monitors.container->uIntValue("M_T")) +
                       static_cast<double>(monitors.container->uIntValue("M_F"));
  auto bar = platform::View::create<Tavrix::StackedSegmentView>(
      Rect(margin, height - top - 2 * barHeight, width - 2 * margin, 2 * barHeight));
  root.addSubview(bar);
  bar->setCornerRadius(barHeight);
  if (total <= 0) return;
  using Tavrix::SystemColors;
  bar->setSegments({{memory.active() / total, SystemColors::systemBlue()},
                    {memory.inactive() / total, SystemColors::systemTeal()},
                    {memory.wired() / total, SystemColors::systemOrange()},
                    {memory.compressed() / total, SystemColors::systemPink()},
                    {memory.free() / total, SystemColors::systemGreen()}});
}

// Processor user load on the outer ring (blue) and system load on the inner one (red), as fractions of all
// processors. DoubleGauge's "inner" pair (colorInner, value1) is its larger ring, so it carries the user
// load. The gauge sets itself up when it awakes from an archive, so it is loaded by class name.
void addProcessorGauge(platform::View& root, const Monitors& monitors, double top) {
  constexpr double size = 100;
  auto gauge = std::dynamic_pointer_cast<Tavrix::DoubleGauge>(
      platform::ViewLoader::load({"DoubleGauge", Rect(margin, height - top - size, size, size), {}, {}}));
  root.addSubview(gauge);
  gauge->setColorInner(Tavrix::SystemColors::systemBlue());
  gauge->setColorOuter(Tavrix::SystemColors::systemRed());
  gauge->setValue1(monitors.container->doubleValue("CPU_U") / 100);
  gauge->setValue2(monitors.container->doubleValue("CPU_S") / 100);
}

// The shown adapter's download history as bars up and its upload history as bars down, each against its
// peak. Without an adapter, or before any rate is known, only the middle line shows.
void addNetworkHistory(platform::View& root, const Monitors& monitors, double top) {
  constexpr double chartHeight = 100;
  auto graph = platform::View::create<Tavrix::SeparatedBarGraph>(
      Rect(margin, height - top - chartHeight, width - 2 * margin, chartHeight));
  root.addSubview(graph);
  const std::shared_ptr<Orvane::NetworkAdapter> adapter = monitors.network->adapter();
  if (!adapter) return;
  graph->setDataTop(adapter->historyDownload);
  graph->setDataBottom(adapter->historyUpload);
  graph->setMaxTop(adapter->highestDownload());
  graph->setMaxBottom(adapter->highestUpload());
}

double startupDiskUsage(const Monitors& monitors) {
  for (const auto& volume : monitors.volumes->volumes()) {
    if (volume->isStartupVolume) return volume->usage();
  }
  return 0;
}

}  // namespace

void writePicture(const Monitors& monitors, long refreshes, const std::string& path) {
  auto root = platform::View::create<platform::View>(Rect(0, 0, width, height));
  root->setWantsLayer(true);
  root->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  root->layer()->setBackgroundColor(background);

  const auto& container = *monitors.container;
  double top = margin;
  addCaption(*root, "Processor load (%)", top);
  addHistoryGraph(*root, monitors, refreshes, "CPU_T", 1, 100, top + 22);
  top += 22 + graphHeight + 16;
  addCaption(*root, "Memory in use (%)", top);
  addHistoryGraph(*root, monitors, refreshes, "M_U", 100, 100, top + 22);
  top += 22 + graphHeight + 16;

  addCaption(*root, "Processor, memory and startup disk in use", top);
  const double barTop = top + 24;
  addUsageBar(*root, container.doubleValue("CPU_T") / 100, barTop);
  addUsageBar(*root, container.doubleValue("M_U"), barTop + 2 * barHeight);
  addUsageBar(*root, startupDiskUsage(monitors), barTop + 4 * barHeight);
  top = barTop + 6 * barHeight + 10;

  addCaption(*root, "Memory: active, inactive, wired, compressed, free", top);
  addMemoryShares(*root, monitors, top + 22);
  top += 22 + 2 * barHeight + 12;
  addCaption(*root, "Processor: user (outer ring), system (inner ring)", top);
  addProcessorGauge(*root, monitors, top + 22);
  top += 22 + 100 + 12;
  addCaption(*root, "Network: download (up), upload (down)", top);
  addNetworkHistory(*root, monitors, top + 22);

  // Graph views draw their plotters from blocks queued on the main queue.
  platform::RunLoop::main().runFor(std::chrono::milliseconds(1));
  root->layoutSubtreeIfNeeded();
  platform::ViewRenderer::writePng(*root, path, 2);
}

}  // namespace dashboard
