// Cost of one tag label update: measuring the text through pango, setting the two size constraints and
// replacing the progress fill.
#include <benchmark/benchmark.h>

#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/TagLabel.hpp"

namespace {

void tagLabelUpdate(benchmark::State& state) {
  auto label = platform::View::create<Tavrix::TagLabel>(platform::Rect(0, 0, 80, 20));
  label->setStringValue("CPU 42 %");
  label->setProgress(0.42);
  for (auto _ : state) {
    label->update();
  }
  benchmark::DoNotOptimize(label->progressLayer());
}
BENCHMARK(tagLabelUpdate);

}  // namespace
