#include "Tavrix/Controls/StackedSegmentView.hpp"

#include <cmath>
#include <stdexcept>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<StackedSegmentView>("StackedSegmentView", "View");
  return true;
}();

}  // namespace

StackedSegmentView::StackedSegmentView(const platform::Rect& frame)
    : platform::View(frame), backgroundColor_(SystemColors::separatorColor()) {}

void StackedSegmentView::didInit() {
  platform::View::didInit();
  setWantsLayer(true);
  layer()->setMasksToBounds(true);
}

void StackedSegmentView::setBackgroundColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("StackedSegmentView: the background colour is null");
  }
  backgroundColor_ = std::move(color);
  layout();
}

void StackedSegmentView::setCornerRadius(double radius) {
  cornerRadius_ = radius;
  layout();
}

void StackedSegmentView::setSegments(std::vector<StackedSegment> segments) {
  for (const StackedSegment& segment : segments) {
    if (!segment.color) {
      throw std::invalid_argument("StackedSegmentView: a share has a null colour");
    }
  }
  segments_ = std::move(segments);
  layout();
}

void StackedSegmentView::layout() {
  platform::View::layout();
  rebuildLayers();
}

void StackedSegmentView::viewDidChangeEffectiveAppearance() {
  platform::View::viewDidChangeEffectiveAppearance();
  layout();
}

void StackedSegmentView::rebuildLayers() {
  if (const std::shared_ptr<platform::Layer> layer = this->layer()) {
    layer->setCornerRadius(cornerRadius_);
  }
  for (const std::shared_ptr<platform::Layer>& layer : layers_) {
    layer->removeFromSuperlayer();
  }
  layers_.clear();
  addBackgroundLayer();
  addSegmentLayers();
}

void StackedSegmentView::addBackgroundLayer() {
  addFilledLayer(
      NSBezierPath::cgPath(platform::BezierPath::roundedRect(bounds(), cornerRadius_, cornerRadius_)),
      backgroundColor_);
}

void StackedSegmentView::addSegmentLayers() {
  const platform::Rect bounds = this->bounds();
  double start = 0;
  for (const StackedSegment& segment : segments_) {
    const double share = std::isfinite(segment.value) ? segment.value : 0;
    addFilledLayer(NSBezierPath::cgPath(platform::BezierPath::rect(
                       platform::Rect(start * bounds.width(), 0, share * bounds.width(), bounds.height()))),
                   segment.color);
    start += share;
  }
}

void StackedSegmentView::addFilledLayer(const platform::Path& path, const platform::ColorRef& color) {
  auto layer = std::make_shared<platform::ShapeLayer>();
  layer->setFillColor(color->rgba(effectiveAppearance()));
  layer->setStrokeColor(std::nullopt);
  layer->setContentsScale(mainScreenScale());
  layer->setFrame(bounds());
  layer->setPath(path);
  if (const std::shared_ptr<platform::Layer> viewLayer = this->layer()) {
    viewLayer->addSublayer(layer);
  }
  layers_.push_back(std::move(layer));
}

}  // namespace Tavrix
