#include "Tavrix/Graph/HistoryView.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr std::size_t rows = 10;

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<HistoryView>(
      "HistoryView", "View",
      {{"length", inspectable(&HistoryView::length, &HistoryView::setLength)},
       {"backColor", inspectable(&HistoryView::backColor, &HistoryView::setBackColor)},
       {"offset", inspectable(&HistoryView::offset, &HistoryView::setOffset)}});
  return true;
}();

}  // namespace

HistoryView::HistoryView(const platform::Rect& frame)
    : platform::View(frame),
      backgroundLayer_(std::make_shared<platform::ShapeLayer>()),
      gradientLayer_(std::make_shared<platform::GradientLayer>()),
      backColor_(SystemColors::tertiaryLabelColor()),
      colors_(Gradients::fancy().mColors()) {}

void HistoryView::didInit() {
  platform::View::didInit();
  setWantsLayer(true);
  layer()->addSublayer(backgroundLayer_);
  layer()->addSublayer(gradientLayer_);
  drawBackground();
  setupGradient();
}

void HistoryView::setLength(double length) {
  length_ = length;
  redraw();
}

void HistoryView::setBackColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("HistoryView: the background colour is null");
  }
  backColor_ = std::move(color);
  redraw();
}

void HistoryView::setOffset(double offset) {
  offset_ = offset;
  redraw();
}

void HistoryView::setData(std::vector<double> data) {
  data_ = std::move(data);
  redraw();
}

void HistoryView::setColors(std::vector<platform::ColorRef> colors) {
  if (std::ranges::any_of(colors, [](const platform::ColorRef& color) { return !color; })) {
    throw std::invalid_argument("HistoryView: a gradient colour is null");
  }
  colors_ = std::move(colors);
  gradientLayer_->setColors(resolvedColors());
}

void HistoryView::setMax(double max) {
  max_ = max;
  redraw();
}

double HistoryView::contentHeight() const { return 10 * length_ + 9 * offset_; }

double HistoryView::contentWidth() const {
  const auto count = static_cast<double>(data_.size());
  return count * length_ + count * offset_;
}

void HistoryView::redraw() {
  if (!isLocked_) {
    drawBackground();
    drawValues();
  }
}

void HistoryView::lock() { isLocked_ = true; }

void HistoryView::unlock() {
  isLocked_ = false;
  drawBackground();
  drawValues();
}

void HistoryView::layout() {
  platform::View::layout();
  redraw();
}

void HistoryView::viewDidChangeEffectiveAppearance() {
  platform::View::viewDidChangeEffectiveAppearance();
  redraw();
}

platform::Rect HistoryView::square(std::size_t column, std::size_t row) const {
  const auto i = static_cast<double>(column);
  const auto r = static_cast<double>(row);
  return platform::Rect(i * offset_ + i * length_, r * offset_ + r * length_, length_, length_);
}

std::vector<platform::Rgba> HistoryView::resolvedColors() const {
  std::vector<platform::Rgba> resolved;
  for (const platform::ColorRef& color : colors_) {
    resolved.push_back(color->rgba(effectiveAppearance()));
  }
  return resolved;
}

void HistoryView::drawBackground() {
  const BackgroundKey key{data_.size(), length_, offset_, backColor_->rgba(effectiveAppearance()), bounds()};
  if (background_ == key) {
    return;
  }
  backgroundLayer_->setFillColor(key.color);
  backgroundLayer_->setStrokeColor(std::nullopt);
  backgroundLayer_->setContentsScale(mainScreenScale());
  backgroundLayer_->setFrame(key.bounds);
  platform::BezierPath squares;
  for (std::size_t column = 0; column < data_.size(); ++column) {
    for (std::size_t row = 0; row < rows; ++row) {
      squares.appendRect(square(column, row));
    }
  }
  backgroundLayer_->setPath(NSBezierPath::cgPath(squares));
  background_ = key;
}

void HistoryView::setupGradient() {
  gradientLayer_->setFrame(bounds());
  gradientLayer_->setContentsScale(mainScreenScale());
  gradientLayer_->setColors(resolvedColors());
  gradientLayer_->setStartPoint({0.5, 1});
  gradientLayer_->setEndPoint({0.5, 0});
}

void HistoryView::drawValues() {
  const platform::Rect bounds = this->bounds();
  auto mask = std::make_shared<platform::ShapeLayer>();
  mask->setFillColor(platform::Color::black()->rgba());
  mask->setStrokeColor(std::nullopt);
  mask->setContentsScale(mainScreenScale());
  mask->setFrame(bounds);

  // Rows above the bounds would never show (the gradient covers exactly the bounds): light at most the rows
  // that start inside them.
  const double pitch = offset_ + length_;
  double rowsInside = pitch > 0 ? std::ceil(bounds.height() / pitch) : static_cast<double>(rows);
  if (!std::isfinite(rowsInside)) {
    rowsInside = static_cast<double>(rows);
  }
  platform::BezierPath lit;
  for (std::size_t column = 0; column < data_.size(); ++column) {
    const double tenths = data_[column] / max_ * 10;
    if (!std::isfinite(tenths)) {
      continue;
    }
    const double count = std::min(std::trunc(tenths), rowsInside);
    for (std::size_t row = 0; static_cast<double>(row) < count; ++row) {
      lit.appendRect(square(column, row));
    }
  }
  mask->setPath(NSBezierPath::cgPath(lit));
  gradientLayer_->setFrame(bounds);
  gradientLayer_->setColors(resolvedColors());
  gradientLayer_->setMask(mask);
}

}  // namespace Tavrix
