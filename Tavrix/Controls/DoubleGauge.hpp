#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// Two concentric three-quarter ring gauges (see GaugeArc): the first value on the ring of radius
// W / 2 - 2 × lineWidth - 2, the second on the ring two line widths nearer the centre, each over a faint
// track of its colour. The names follow the class's interface, not the picture: the "inner" pair (colorInner,
// value1) is the larger ring and the "outer" pair (colorOuter, value2) lies inside it. The four layers are
// made with the view and restacked at every layout: inner track, outer track, inner value, outer value. The
// view becomes layer-backed only when it awakes from an archive
// ("DoubleGauge"), so made in code it shows nothing. Setting any property lays it out at once. Values are
// not clamped (the rings show 0...1; NaN counts as 0). Main thread only.
class DoubleGauge : public platform::View {
 public:
  explicit DoubleGauge(const platform::Rect& frame = platform::Rect());

  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);
  double value1() const { return value1_; }
  void setValue1(double value);
  double value2() const { return value2_; }
  void setValue2(double value);
  // The separator colour unless set; throw std::invalid_argument for a null colour.
  const platform::ColorRef& colorInner() const { return colorInner_; }
  void setColorInner(platform::ColorRef color);
  const platform::ColorRef& colorOuter() const { return colorOuter_; }
  void setColorOuter(platform::ColorRef color);

  const std::shared_ptr<platform::ShapeLayer>& backgroundLayerInner() const { return backgroundLayerInner_; }
  const std::shared_ptr<platform::ShapeLayer>& backgroundLayerOuter() const { return backgroundLayerOuter_; }
  const std::shared_ptr<platform::ShapeLayer>& progressLayerInner() const { return progressLayerInner_; }
  const std::shared_ptr<platform::ShapeLayer>& progressLayerOuter() const { return progressLayerOuter_; }

  // Each sets up its layer for the current bounds and puts it on top of the view's layer.
  virtual void drawInnerBackground();
  virtual void drawOuterBackground();
  virtual void drawInnerProgress();
  virtual void drawOuterProgress();

  void awakeFromNib() override;
  void layout() override;

 private:
  // Sets up a layer on one of the two rings (inset 2 or 4 line widths) with a path made for its centre and
  // radius, and puts it on top of the view's layer.
  template <class MakePath>
  void draw(platform::ShapeLayer& layer, double inset, const platform::Rgba& strokeColor, MakePath makePath);

  const std::shared_ptr<platform::ShapeLayer> backgroundLayerInner_;
  const std::shared_ptr<platform::ShapeLayer> backgroundLayerOuter_;
  const std::shared_ptr<platform::ShapeLayer> progressLayerInner_;
  const std::shared_ptr<platform::ShapeLayer> progressLayerOuter_;
  double lineWidth_ = 5;
  double value1_ = 0;
  double value2_ = 0;
  platform::ColorRef colorInner_;
  platform::ColorRef colorOuter_;
};

}  // namespace Tavrix
