#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A chart of two opposed series against one horizontal middle line: the upper series as bars growing up
// from it, the lower as bars growing down, each scaled so that its own maximum reaches the view's edge.
// While the pointer is over the view, a left margin opens for a legend of five texts and lines mark the
// quarter heights. Drawn whole in draw() on every display; setting any property marks the view as needing
// display. The area that tracks the pointer is renewed when a superview's resize reaches the view. Made in
// code or by name ("SeparatedBarGraph"). Main thread only.
class SeparatedBarGraph : public platform::View {
 public:
  explicit SeparatedBarGraph(const platform::Rect& frame = platform::Rect());

  const std::shared_ptr<platform::TrackingArea>& area() const { return area_; }

  // The values whose bars reach the top and the bottom edge. A series whose maximum is 0 or not finite
  // draws no bars.
  double maxTop() const { return maxTop_; }
  void setMaxTop(double max);
  double maxBottom() const { return maxBottom_; }
  void setMaxBottom(double max);
  // Whether the pointer is over the view; only the pointer's events change it.
  bool isMouseInside() const { return isMouseInside_; }
  // The legend's margin while the pointer is inside.
  double mouseOffset() const { return mouseOffset_; }
  void setMouseOffset(double offset);
  // One bar per value, oldest first.
  const std::vector<double>& dataTop() const { return dataTop_; }
  void setDataTop(std::vector<double> data);
  const std::vector<double>& dataBottom() const { return dataBottom_; }
  void setDataBottom(std::vector<double> data);
  // The outlines of the upper and lower bars; their red, green and blue at colorAlpha() fill them. Green and
  // red unless set; throw std::invalid_argument for a null colour.
  const platform::ColorRef& upperColor() const { return upperColor_; }
  void setUpperColor(platform::ColorRef color);
  const platform::ColorRef& lowerColor() const { return lowerColor_; }
  void setLowerColor(platform::ColorRef color);
  double colorAlpha() const { return colorAlpha_; }
  void setColorAlpha(double alpha);
  // Top edge, three quarters, middle, bottom edge, one quarter; drawn only when there are exactly five.
  const std::vector<std::string>& legendLabelsY() const { return legendLabelsY_; }
  void setLegendLabelsY(std::vector<std::string> labels);

  // Draw into the current graphics context; draw() calls them.
  virtual void drawGridLines();
  virtual void drawLegend();
  virtual void drawUpperBars();
  virtual void drawLowerBars();
  virtual void drawMiddleLine();

  void draw(const platform::Rect& dirtyRect) override;
  void resizeWithOldSuperviewSize(platform::Size oldSize) override;
  void mouseEntered(const platform::Event& event) override;
  void mouseExited(const platform::Event& event) override;

 protected:
  void didInit() override;

 private:
  void setMouseInside(bool inside);
  void installArea();
  // The bars of one series from the middle line, up (1) or down (-1).
  void drawBars(const std::vector<double>& data, double max, const platform::ColorRef& color, int direction);
  double margin() const { return isMouseInside_ ? mouseOffset_ : 0; }

  std::shared_ptr<platform::TrackingArea> area_;
  double maxTop_ = 2048;
  double maxBottom_ = 2048;
  bool isMouseInside_ = false;
  double mouseOffset_ = 64;
  std::vector<double> dataTop_;
  std::vector<double> dataBottom_;
  platform::ColorRef upperColor_;
  platform::ColorRef lowerColor_;
  double colorAlpha_ = 0.5;
  std::vector<std::string> legendLabelsY_;
};

}  // namespace Tavrix
