// Cost of one draw of each axis into a plot layer, and of measuring one label (which every label pays).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Graph/TextAxis.hpp"
#include "Tavrix/Graph/TimeAxis.hpp"
#include "Tavrix/Graph/ValueAxis.hpp"

namespace {

std::shared_ptr<platform::Layer> plotLayer() {
  auto layer = std::make_shared<platform::Layer>();
  layer->setFrame({0, 0, 600, 150});
  return layer;
}

void valueAxisFourSegments(benchmark::State& state) {
  const auto layer = plotLayer();
  Tavrix::ValueAxis axis(0, 100, 4);
  for (auto _ : state) axis.draw(layer, 1);
}
BENCHMARK(valueAxisFourSegments);

void timeAxisWeekly52(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "Europe/Berlin", {"en"});
  const auto layer = plotLayer();
  Tavrix::TimeAxis axis;
  axis.setPeriod(Tavrix::TimePeriod::weekly);
  std::vector<double> weeks;
  for (int week = 0; week < 52; ++week) weeks.push_back(1672531200 + week * 604800.0);
  axis.setTimestamps(weeks);
  for (auto _ : state) axis.draw(layer, 1);
}
BENCHMARK(timeAxisWeekly52);

void textAxisCentred12(benchmark::State& state) {
  const auto layer = plotLayer();
  Tavrix::TextAxis axis;
  std::vector<std::string> texts;
  std::vector<std::optional<std::string>> details;
  for (int slot = 0; slot < 12; ++slot) {
    texts.push_back("M" + std::to_string(slot));
    details.push_back(std::to_string(slot * 10) + "%");
  }
  axis.setTexts(texts);
  axis.setDetails(details);
  axis.setAlignMode(Tavrix::TextAlignMode::centered);
  axis.setFillLabel(true);
  axis.setSelectedIndex(3);
  for (auto _ : state) axis.draw(layer, 1);
}
BENCHMARK(textAxisCentred12);

void measureOneLabel(benchmark::State& state) {
  const platform::TextAttributes attributes{.font = platform::Font::systemFont(12)};
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::TextMeasurer::boundingSize("100.00", attributes, {600, 150}));
  }
}
BENCHMARK(measureOneLabel);

}  // namespace
