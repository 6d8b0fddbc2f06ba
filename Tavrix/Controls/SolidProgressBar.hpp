#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// What the solid progress bars share: a track that covers the bounds (the rectangle of the bounds stroked as
// wide as the bar is high) and over it one thick line, as wide as the bar is high, whose stroke end is the
// value, both clipped to the view's rounded corners. Every layout redraws both for the current bounds, value
// and colours (resolved under the view's effective appearance), without implicit animation. Setting any
// property of a bar lays it out at once. Main thread only.
class SolidProgressBar : public platform::View {
 public:
  // The fraction shown, handed to the line's stroke end unclamped (a render shows 0...1); NaN counts as 0.
  double value() const { return value_; }
  void setValue(double value);

  const std::shared_ptr<platform::ShapeLayer>& bgLayer() const { return bgLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& progressLayer() const { return progressLayer_; }

  // Makes the view layer-backed and clipped, the track under the line. Making the view runs it.
  virtual void setup();
  // Redraws both layers; layout() runs it.
  virtual void update();

  void layout() override;

 protected:
  explicit SolidProgressBar(const platform::Rect& frame);
  void didInit() override;

  virtual double layerCornerRadius() const = 0;
  virtual platform::ColorRef trackColor() const = 0;
  virtual platform::ColorRef fillColor() const = 0;
  // The line the value runs along: from (0, H / 2) to (W, H / 2) unless a bar says otherwise.
  virtual platform::Path progressLine(const platform::Rect& bounds) const;

 private:
  const std::shared_ptr<platform::ShapeLayer> bgLayer_;
  const std::shared_ptr<platform::ShapeLayer> progressLayer_;
  double value_ = 0;
};

}  // namespace Tavrix
