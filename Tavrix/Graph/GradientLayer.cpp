#include "Tavrix/Graph/GradientLayer.hpp"

#include <utility>

#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

namespace {

// A colour as a layer stores it, resolved now; a null colour is clear.
platform::Rgba resolved(const platform::ColorRef& color) {
  return color ? color->rgba() : platform::Rgba{0, 0, 0, 0};
}

}  // namespace

GradientLayer::GradientLayer(std::shared_ptr<platform::Layer> parentLayer,
                             std::vector<platform::ColorRef> colors, const platform::Rect& bounds)
    : parentLayer_(std::move(parentLayer)), bounds_(bounds), colors_(std::move(colors)) {
  if (colors_.size() == 1) {
    colors_.push_back(colors_.front());
  }
}

void GradientLayer::setParentLayer(std::shared_ptr<platform::Layer> parentLayer) {
  parentLayer_ = std::move(parentLayer);
  update();
}

void GradientLayer::setStartPoint(platform::Point point) {
  startPoint_ = point;
  update();
}

void GradientLayer::setEndPoint(platform::Point point) {
  endPoint_ = point;
  update();
}

void GradientLayer::setLineWidth(double width) {
  lineWidth_ = width;
  update();
}

void GradientLayer::setStrokeColor(platform::ColorRef color) {
  strokeColor_ = std::move(color);
  update();
}

void GradientLayer::setFillColor(platform::ColorRef color) {
  fillColor_ = std::move(color);
  update();
}

void GradientLayer::setBounds(const platform::Rect& bounds) {
  bounds_ = bounds;
  update();
}

void GradientLayer::setColors(std::vector<platform::ColorRef> colors) {
  colors_ = std::move(colors);
  update();
}

void GradientLayer::setLineCap(platform::LineCap cap) {
  lineCap_ = cap;
  update();
}

void GradientLayer::setLineJoin(platform::LineJoin join) {
  lineJoin_ = join;
  update();
}

void GradientLayer::setPath(std::optional<platform::BezierPath> path) {
  path_ = std::move(path);
  update();
}

void GradientLayer::setLineDashPhase(double phase) {
  lineDashPhase_ = phase;
  update();
}

void GradientLayer::setLineDashPattern(std::optional<std::vector<double>> pattern) {
  lineDashPattern_ = std::move(pattern);
  update();
}

void GradientLayer::redraw() { update(); }

void GradientLayer::add(const platform::BasicAnimation& animation, std::string key) {
  maskingLayer_->addAnimation(animation, std::move(key));
}

void GradientLayer::removeFromSuperlayer() { gradientLayer_->removeFromSuperlayer(); }

void GradientLayer::update() {
  gradientLayer_->removeFromSuperlayer();
  const double scale = mainScreenScale();

  maskingLayer_->setFrame(bounds_);
  maskingLayer_->setPath(path_ ? std::optional<platform::Path>(NSBezierPath::cgPath(*path_)) : std::nullopt);
  maskingLayer_->setFillColor(fillColor_ ? std::optional<platform::Rgba>(fillColor_->rgba()) : std::nullopt);
  maskingLayer_->setStrokeColor(resolved(strokeColor_));
  maskingLayer_->setPosition(bounds_.center());
  maskingLayer_->setContentsScale(scale);
  maskingLayer_->setLineWidth(lineWidth_);
  maskingLayer_->setLineCap(lineCap_);
  maskingLayer_->setLineDashPhase(lineDashPhase_);
  maskingLayer_->setLineDashPattern(lineDashPattern_.value_or(std::vector<double>{}));
  maskingLayer_->setLineJoin(lineJoin_);

  gradientLayer_->setFrame(bounds_);
  std::vector<platform::Rgba> colors;
  colors.reserve(colors_.size());
  for (const platform::ColorRef& color : colors_) {
    colors.push_back(resolved(color));
  }
  gradientLayer_->setColors(std::move(colors));
  gradientLayer_->setStartPoint(startPoint_);
  gradientLayer_->setEndPoint(endPoint_);
  gradientLayer_->setMask(maskingLayer_);
  gradientLayer_->setContentsScale(scale);
  gradientLayer_->setPosition(bounds_.center());

  if (parentLayer_) {
    parentLayer_->addSublayer(gradientLayer_);
  }
}

}  // namespace Tavrix
