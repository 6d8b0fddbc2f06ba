#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/LayerRenderer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/TextLayer.hpp"

namespace {

constexpr double width = 400;
constexpr double height = 150;

// A history-graph line through 60 samples across the plot, one smooth cubic between neighbours.
platform::BezierPath curveThroughSamples() {
  constexpr int samples = 60;
  const double step = width / (samples - 1);
  const auto sample = [](int i) { return 75 + 55 * std::sin(i * 0.37) * std::cos(i * 0.11); };
  platform::BezierPath path;
  path.move({0, sample(0)});
  for (int i = 1; i < samples; ++i) {
    const double x = step * i;
    path.curve({x, sample(i)}, {x - step * 2 / 3, sample(i - 1)}, {x - step / 3, sample(i)});
  }
  return path;
}

// The area under the curve, closed along the bottom edge: the shape a plotter fills with its gradient.
platform::Path areaUnderCurve() {
  platform::BezierPath area = curveThroughSamples();
  area.line({width, 0});
  area.line({0, 0});
  area.close();
  return area.path();
}

// Renders a layer again and again into one 400 x 150 surface, cleared before each pass.
void renderRepeatedly(benchmark::State& state, platform::Layer& layer) {
  const auto image = platform::Image::create({width, height});
  cairo_t* cairo = cairo_create(image->surface());
  cairo_matrix_t yUp;
  cairo_matrix_init(&yUp, 1, 0, 0, -1, 0, height);
  cairo_set_matrix(cairo, &yUp);
  platform::GraphicsContext context(cairo);
  for (auto _ : state) {
    cairo_set_operator(cairo, CAIRO_OPERATOR_CLEAR);
    cairo_paint(cairo);
    cairo_set_operator(cairo, CAIRO_OPERATOR_OVER);
    platform::LayerRenderer::render(layer, context);
    cairo_surface_flush(image->surface());
    benchmark::DoNotOptimize(cairo_image_surface_get_data(image->surface()));
  }
  cairo_destroy(cairo);
  state.SetItemsProcessed(state.iterations());
}

// The graph's look: a vertical gradient cut to the area under the curve by a shape-layer mask.
void gradientFilledCurve(benchmark::State& state) {
  auto gradient = std::make_shared<platform::GradientLayer>();
  gradient->setFrame(platform::Rect(0, 0, width, height));
  gradient->setColors({{0.24, 0.74, 0.69, 1}, {0, 0.71, 0.82, 0.2}});
  auto mask = std::make_shared<platform::ShapeLayer>();
  mask->setPath(areaUnderCurve());
  gradient->setMask(mask);
  renderRepeatedly(state, *gradient);
}
BENCHMARK(gradientFilledCurve)->Unit(benchmark::kMicrosecond);

// The same curve stroked 2 points wide, whole and trimmed to 80 % of its length (the trim measures the
// curve's length on every render).
void strokedCurve(benchmark::State& state) {
  auto line = std::make_shared<platform::ShapeLayer>();
  line->setPath(curveThroughSamples().path());
  line->setFillColor(std::nullopt);
  line->setStrokeColor(platform::Rgba{0, 0.48, 1, 1});
  line->setLineWidth(2);
  line->setStrokeEnd(state.range(0) / 100.0);
  renderRepeatedly(state, *line);
}
BENCHMARK(strokedCurve)->Arg(100)->Arg(80)->Unit(benchmark::kMicrosecond);

// A value label of the graph: a short 13-point string laid out and drawn by pango.
void textLabel(benchmark::State& state) {
  platform::TextLayer label;
  label.setBounds(platform::Rect(0, 0, 64, 13));
  label.setString("42.5 MB/s");
  label.setFontSize(13);
  label.setForegroundColor(platform::Rgba{0, 0, 0, 0.85});
  renderRepeatedly(state, label);
}
BENCHMARK(textLabel)->Unit(benchmark::kMicrosecond);

}  // namespace
