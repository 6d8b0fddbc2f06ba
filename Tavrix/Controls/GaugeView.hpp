#pragma once

#include <memory>

#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A full-ring gauge: a track in the quaternary label colour and, over it, an arc in the accent colour that
// starts at the top and runs clockwise for the value's fraction of the ring, on a circle of radius
// W / 2 - lineWidth / 2 - 1 about the centre. Made in code or by name ("GaugeView", exposing "lineWidth" and
// "useRoundCap"); layout and every new value redraw it. Main thread only.
class GaugeView : public platform::View {
 public:
  explicit GaugeView(const platform::Rect& frame = platform::Rect());

  // The fraction shown. Writing the kept value again does nothing; any other value is kept as max(v, 0)
  // (NaN counts as 0, there is no upper bound: the arc shows at most the whole ring) and redraws the view.
  double value() const { return mValue_; }
  void setValue(double value);
  // Setting either lays the view out at once.
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);
  bool useRoundCap() const { return useRoundCap_; }
  void setUseRoundCap(bool useRoundCap);

  const std::shared_ptr<platform::ShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& progressLayer() const { return progressLayer_; }

  // Makes the view layer-backed, stacks the track under the arc on its layer and draws both.
  virtual void redraw();
  virtual void drawBackground();
  virtual void drawProgress();

  void layout() override;

 private:
  double radius() const;

  const std::shared_ptr<platform::ShapeLayer> backgroundLayer_;
  const std::shared_ptr<platform::ShapeLayer> progressLayer_;
  double mValue_ = 0;
  double lineWidth_ = 8;
  bool useRoundCap_ = true;
};

}  // namespace Tavrix
