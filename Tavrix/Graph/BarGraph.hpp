#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A chart of vertical bars, one per value, over a frame with quarter lines, with five value labels left of
// the plot and optional texts under the bars; the scale's top is the next multiple of 100 above the largest
// value. Drawn whole in draw() on every display. Setting the colour, fill alpha, line width or data marks
// the view as needing display; the offsets and labels are only stored and show at the next display. Made
// in code or by name ("BarGraph"). Main thread only.
class BarGraph : public platform::View {
 public:
  explicit BarGraph(const platform::Rect& frame = platform::Rect());

  // Left margin, where the value labels live; the grid and the bars start here.
  double leftOffset() const { return leftOffset_; }
  void setLeftOffset(double offset) { leftOffset_ = offset; }
  // The grid's base line and the base of the upper value labels.
  double topOffset() const { return topOffset_; }
  void setTopOffset(double offset) { topOffset_ = offset; }
  // The bars' base line.
  double bottomOffset() const { return bottomOffset_; }
  void setBottomOffset(double offset) { bottomOffset_ = offset; }
  // The bars' outline; its red, green and blue at alpha() fill them. Red unless set; throws
  // std::invalid_argument for a null colour.
  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color);
  double alpha() const { return alpha_; }
  void setAlpha(double alpha);
  // The width of the bar outlines, and of the half-width shifts of grid lines and bar edges.
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);
  const std::vector<std::int32_t>& data() const { return data_; }
  void setData(std::vector<std::int32_t> data);
  // One text per bar, drawn only when there are exactly as many as values.
  const std::vector<std::string>& labels() const { return labels_; }
  void setLabels(std::vector<std::string> labels) { labels_ = std::move(labels); }

  // The top of the scale: the smallest multiple of 100 above the largest value (100 when there is no value
  // above 0), saturating at the largest 32-bit integer.
  virtual std::int32_t calculateMax() const;
  // Draw into the current graphics context; draw() calls them.
  virtual void drawGrid(double height);
  virtual void drawValueLabels(std::int32_t max, double height);

  void draw(const platform::Rect& dirtyRect) override;

 private:
  double leftOffset_ = 48;
  double topOffset_ = 16;
  double bottomOffset_ = 16;
  platform::ColorRef color_;
  double alpha_ = 0.5;
  double lineWidth_ = 1;
  std::vector<std::int32_t> data_;
  std::vector<std::string> labels_;
};

}  // namespace Tavrix
