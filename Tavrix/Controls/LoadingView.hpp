#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A spinner: a faint ring and, over it, a fifth of the ring in the spinner's colour that turns once every
// 0.6 seconds while the spinner is active. Hidden while idle. Made in code or by name ("LoadingView",
// exposing "color"); every layout sets the layers up again, and a running spinner stays visible and keeps
// turning through it. Main thread only.
class LoadingView : public platform::View {
 public:
  static constexpr double turnSeconds = 0.6;

  explicit LoadingView(const platform::Rect& frame = platform::Rect());

  bool isActive() const { return isActive_; }
  // The line width; only the next set-up (layout) uses a new one.
  double width() const { return width_; }
  void setWidth(double width);
  // Recolours the arc at once; the ring takes the colour at the next set-up (layout). The accent colour
  // unless set; throws std::invalid_argument for a null colour.
  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color);

  const std::shared_ptr<platform::ShapeLayer>& progressLayer() const { return progressLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& trackLayer() const { return trackLayer_; }

  // Shows the view and starts the endless turn (under the key "rotation"); nothing when already active.
  virtual void start();
  // Removes the turn, hides the view and makes it idle.
  virtual void stop();
  // Sets both layers up again for the current bounds, width and colour, the ring under the arc; hides the
  // view unless it is active.
  virtual void setup();

  void layout() override;

 protected:
  void didInit() override;

 private:
  const std::shared_ptr<platform::ShapeLayer> progressLayer_;
  const std::shared_ptr<platform::ShapeLayer> trackLayer_;
  bool isActive_ = false;
  double width_ = 3;
  platform::ColorRef color_;
};

}  // namespace Tavrix
