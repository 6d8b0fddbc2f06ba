#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/StrokeStyle.hpp"

namespace Tavrix {

// A colour gradient seen through a vector shape: a gradient layer (what is seen) masked by a shape layer
// (where it is seen). The shape's path, stroke and fill decide which pixels let the gradient through (only
// their alpha counts); the colours decide their colour. The graph view's tick dots and the line plotters'
// strokes and areas are each one of these.
//
// Every property assignment stores the value and then runs update(), which applies all properties to both
// layers and puts the gradient layer on top of its parent's sublayers. The last assignment therefore leaves
// the layers complete and on screen, and of several of these sharing a parent, the one assigned last is
// drawn on top. A new object applies nothing and is in no layer tree until its first assignment.
// Colours are resolved against the appearance current when update() runs. Main thread only.
class GradientLayer {
 public:
  // One colour is stored twice, so that the gradient has two stops. parentLayer may be null: then the
  // layers are configured but never inserted anywhere. The object keeps its parent layer alive.
  GradientLayer(std::shared_ptr<platform::Layer> parentLayer, std::vector<platform::ColorRef> colors,
                const platform::Rect& bounds);

  // The shape: the mask of the gradient layer.
  const std::shared_ptr<platform::ShapeLayer>& maskingLayer() const { return maskingLayer_; }
  // The visible layer.
  const std::shared_ptr<platform::GradientLayer>& gradientLayer() const { return gradientLayer_; }

  const std::shared_ptr<platform::Layer>& parentLayer() const { return parentLayer_; }
  void setParentLayer(std::shared_ptr<platform::Layer> parentLayer);
  // In the gradient layer's unit space; the default runs from the left edge to the right edge.
  platform::Point startPoint() const { return startPoint_; }
  void setStartPoint(platform::Point point);
  platform::Point endPoint() const { return endPoint_; }
  void setEndPoint(platform::Point point);
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);
  // Opaque black by default; a null colour counts as clear.
  const platform::ColorRef& strokeColor() const { return strokeColor_; }
  void setStrokeColor(platform::ColorRef color);
  // Opaque black by default; null leaves the shape unfilled.
  const platform::ColorRef& fillColor() const { return fillColor_; }
  void setFillColor(platform::ColorRef color);
  // The frame of both layers, in the parent layer's coordinates.
  const platform::Rect& bounds() const { return bounds_; }
  void setBounds(const platform::Rect& bounds);
  // First at the start point, last at the end point, evenly spaced. One colour assigned here stays one.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors);
  platform::LineCap lineCap() const { return lineCap_; }
  void setLineCap(platform::LineCap cap);
  platform::LineJoin lineJoin() const { return lineJoin_; }
  void setLineJoin(platform::LineJoin join);
  // The shape; absent leaves the mask empty, so nothing shows.
  const std::optional<platform::BezierPath>& path() const { return path_; }
  void setPath(std::optional<platform::BezierPath> path);
  double lineDashPhase() const { return lineDashPhase_; }
  void setLineDashPhase(double phase);
  // Absent draws solid lines.
  const std::optional<std::vector<double>>& lineDashPattern() const { return lineDashPattern_; }
  void setLineDashPattern(std::optional<std::vector<double>> pattern);

  // Applies everything again (update()).
  void redraw();
  // Adds an animation to the masking layer under key.
  void add(const platform::BasicAnimation& animation, std::string key);
  // Takes the gradient layer out of the layer tree. Dropping the object does not: an owner that replaces
  // or drops one calls this first.
  void removeFromSuperlayer();
  // Takes the gradient layer out of its parent, applies every property to both layers, then adds the
  // gradient layer on top of the parent's sublayers when there is a parent.
  void update();

 private:
  std::shared_ptr<platform::ShapeLayer> maskingLayer_ = std::make_shared<platform::ShapeLayer>();
  std::shared_ptr<platform::GradientLayer> gradientLayer_ = std::make_shared<platform::GradientLayer>();
  std::shared_ptr<platform::Layer> parentLayer_;
  platform::Point startPoint_{0, 0.5};
  platform::Point endPoint_{1, 0.5};
  double lineWidth_ = 0;
  platform::ColorRef strokeColor_ = platform::Color::black();
  platform::ColorRef fillColor_ = platform::Color::black();
  platform::Rect bounds_;
  std::vector<platform::ColorRef> colors_;
  platform::LineCap lineCap_ = platform::LineCap::butt;
  platform::LineJoin lineJoin_ = platform::LineJoin::bevel;
  std::optional<platform::BezierPath> path_;
  double lineDashPhase_ = 0;
  std::optional<std::vector<double>> lineDashPattern_;
};

}  // namespace Tavrix
