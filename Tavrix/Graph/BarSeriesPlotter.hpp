#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/TimingFunction.hpp"
#include "Tavrix/Graph/IAnimatable.hpp"
#include "Tavrix/Graph/SeriesPlotter.hpp"

namespace Tavrix {

// What the bar plotters share: the grow-in. One bar per value stands on
// the baseline H - I of the plot layer (H its height, I the bottom inset); min is never read, bars start
// at 0. With an animation duration set, the bars are drawn flat (1 point high) until the plotter is
// animated: animate() then grows each bar's shape to its full height with a "path" animation that holds
// the end (the layer's own path stays flat), and every later draw is at full height at once.
// markAsAnimated() waives the animation.
class BarSeriesPlotter : public SeriesPlotter, public IAnimatable {
 public:
  // IAnimatable. Does nothing without a layer, a duration or a timing function, or once animated; else
  // grows every bar that has a value to its height for max (a flat bar when max is not above 0 or not
  // finite) and marks the plotter as animated.
  void animate(const std::shared_ptr<platform::Layer>& layer, double max, double bottomInset) override;

  // The grow-in has run or was waived.
  bool alreadyAnimated() const { return mAlreadyAnimated_; }
  void markAsAnimated() { mAlreadyAnimated_ = true; }
  // Absent: bars are drawn at full height at once.
  std::optional<double> animationDuration() const { return animationDuration_; }
  void setAnimationDuration(std::optional<double> seconds) { animationDuration_ = seconds; }
  std::optional<platform::TimingFunctionName> timingFunction() const { return timingFunction_; }
  void setTimingFunction(std::optional<platform::TimingFunctionName> name) { timingFunction_ = name; }

  // The outline of bar index for the value range 0...max: absent max asks for the flat starting bar.
  // Throws std::out_of_range for an index beyond data (so do createBar and barColor).
  virtual platform::BezierPath barPath(const std::shared_ptr<platform::Layer>& layer, std::size_t index,
                                       std::optional<double> max, double bottomInset) const = 0;

 protected:
  // The maximum a draw hands to each bar: none (flat bars) while an animation is still to come.
  std::optional<double> drawnMaximum(double max) const;
  // The shape layers the grow-in animates, one entry per value of the last draw (null where none).
  virtual const std::vector<std::shared_ptr<platform::ShapeLayer>>& animatedLayers() const = 0;

  bool mAlreadyAnimated_ = false;

 private:
  std::optional<double> animationDuration_;
  std::optional<platform::TimingFunctionName> timingFunction_;
};

// The rectangle of a bar from x, width wide, on the baseline of a plot of the given height: 1 point high
// when the value or max is absent, or max is not above 0 or not finite; otherwise value / max of the
// height above the inset, and 1 point for a value that is not above 0.
platform::Rect barRect(double x, double width, std::optional<double> value, std::optional<double> max,
                       double height, double bottomInset);

// Where in value index's slot (i * W / n to (i + 1) * W / n of the plot layer's frame width W) a bar
// stands: from inset to inset + width, both fractions of the slot. Gives x and width.
std::pair<double, double> slotPart(const platform::Layer& layer, std::size_t index, std::size_t count,
                                   double inset, double width);

// Whether barRect gives the flat starting bar.
bool isFlatBar(std::optional<double> value, std::optional<double> max);

}  // namespace Tavrix
