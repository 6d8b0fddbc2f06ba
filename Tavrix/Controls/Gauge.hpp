#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A three-quarter ring gauge (see GaugeArc): a faint track and the value's arc, both with round ends, on a
// circle of radius W / 2 - 2 × lineWidth - 2 about the centre. Every layout replaces both layers with new
// ones. The view becomes layer-backed only when it awakes from an archive ("Gauge", exposing "color"), so
// made in code it shows nothing. Setting the colour or the line width lays it out at once. Main thread only.
class Gauge : public platform::View {
 public:
  explicit Gauge(const platform::Rect& frame = platform::Rect());

  // The fraction shown, in 0...1. Writing the kept value again does nothing; any other value is clamped to
  // 0...1 (NaN counts as 0), kept, and the view laid out.
  double value() const { return mValue_; }
  void setValue(double value);
  // The colour of the arc, and at alpha 0.1 of the track; when none (null), no track shows and the arc is
  // the palette's gradient start.
  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color);
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);

  // The layers of the last layout; null before the first.
  const std::shared_ptr<platform::ShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& progressLayer() const { return progressLayer_; }

  // Replace the track and the arc with new layers for the current bounds, value and colour.
  virtual void drawBackground();
  virtual void drawProgress();

  void awakeFromNib() override;
  void layout() override;

 private:
  // Takes the place of a layer: the old one leaves its superlayer; the new one joins the view's layer.
  void replace(std::shared_ptr<platform::ShapeLayer>& layer, std::shared_ptr<platform::ShapeLayer> with);

  std::shared_ptr<platform::ShapeLayer> backgroundLayer_;
  std::shared_ptr<platform::ShapeLayer> progressLayer_;
  double mValue_ = 0;
  platform::ColorRef color_;
  double lineWidth_ = 5;
};

}  // namespace Tavrix
