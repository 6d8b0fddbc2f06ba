#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/TextAttributes.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A chart of columns, each a pair of bars side by side (the first number left, the second right, each in its
// colour), over a framed grid with quarter lines, with five caller-given scale texts on the left and one
// caller-given text under each column. The scale's top comes from the largest number: steps of 1000 are
// divided out, the leading digit raised by one with the lower digits zeroed, and each step multiplied back
// as 1024. Drawn whole in draw() on every display; setting any drawn property marks the view as needing
// display.
//
// The pointer: the view tracks moves over its bounds (an area renewed at every layout), keeps the column
// under the pointer as index(), paints a band behind it and a 16 x 16 delete rectangle centred above it with
// an optional icon (a template icon turns red while the pointer is inside the rectangle), and reports hover
// changes (indexChanged, which reads the new index()) and clicks inside the rectangle (clickedInRect). A
// pointer over the left margin, right of the last column or leaving the view ends the hover. Made in code or
// by name ("DoubleBarGraph"). Main thread only.
class DoubleBarGraph : public platform::View {
 public:
  using Pair = std::pair<std::uint64_t, std::uint64_t>;

  explicit DoubleBarGraph(const platform::Rect& frame = platform::Rect());

  // The attributes of every text: the label colour (resolved under the view's effective appearance, again
  // at every change of it), left-aligned, the regular system font at 9 points.
  const platform::TextAttributes& textFontAttributes() const { return textFontAttributes_; }
  const std::shared_ptr<platform::TrackingArea>& trackingArea() const { return trackingArea_; }

  double leftOffset() const { return leftOffset_; }
  void setLeftOffset(double offset);
  double rightOffset() const { return rightOffset_; }
  void setRightOffset(double offset);
  double topOffset() const { return topOffset_; }
  void setTopOffset(double offset);
  double bottomOffset() const { return bottomOffset_; }
  void setBottomOffset(double offset);
  // Outline of the left and right bars; their red, green and blue at colorAlpha() fill them. Green and red
  // unless set; throw std::invalid_argument for a null colour.
  const platform::ColorRef& colorLeft() const { return colorLeft_; }
  void setColorLeft(platform::ColorRef color);
  const platform::ColorRef& colorRight() const { return colorRight_; }
  void setColorRight(platform::ColorRef color);
  // Drawn in the delete rectangle of the hovered column; none unless set.
  const std::shared_ptr<const platform::Image>& interactionImage() const { return interactionImage_; }
  void setInteractionImage(std::shared_ptr<const platform::Image> image);
  double colorAlpha() const { return colorAlpha_; }
  void setColorAlpha(double alpha);
  const std::vector<Pair>& data() const { return data_; }
  void setData(std::vector<Pair> data);
  // One text under each column, drawn only when there are exactly as many as columns.
  const std::vector<std::string>& legendLabelsX() const { return legendLabelsX_; }
  void setLegendLabelsX(std::vector<std::string> labels);
  // The five scale texts, bottom first, drawn only when there are exactly five.
  const std::vector<std::string>& legendLabelsY() const { return legendLabelsY_; }
  void setLegendLabelsY(std::vector<std::string> labels);
  double gridLineWidth() const { return gridLineWidth_; }
  void setGridLineWidth(double width);
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);

  // The hovered column, its delete rectangle, and whether the pointer was inside that rectangle when it last
  // moved over the plot.
  const std::optional<std::int64_t>& index() const { return index_; }
  const std::optional<platform::Rect>& deleteRect() const { return deleteRect_; }
  bool mouseInDeletionRect() const { return mouseInDeletionRect_; }
  // Called when the hovered column changes or the hover ends, after index() has changed.
  void setIndexChanged(std::function<void()> callback) { indexChanged_ = std::move(callback); }
  // Called on a click inside the delete rectangle.
  void setClickedInRect(std::function<void()> callback) { clickedInRect_ = std::move(callback); }

  // The top of the scale for the current data: 41,943,040 without a number above 0; saturates at the largest
  // 64-bit unsigned integer.
  virtual std::uint64_t calculateMax() const;
  // Draw into the current graphics context; draw() calls them.
  virtual void drawHighlight(double from, double to);
  virtual void drawGrid(double height);
  virtual void drawLegend(double height);

  void draw(const platform::Rect& dirtyRect) override;
  // Replaces the tracking area with one over the current bounds.
  void layout() override;
  void viewDidChangeEffectiveAppearance() override;
  void mouseMoved(const platform::Event& event) override;
  void mouseDown(const platform::Event& event) override;
  void mouseExited(const platform::Event& event) override;

 protected:
  void didInit() override;

 private:
  // The columns' spacing for n columns: the gap between them and the width of one column (both bars).
  struct Columns {
    double gap;
    double columnWidth;
  };
  Columns columns() const;
  void notifyIndexChanged() const;
  void drawBars(platform::GraphicsContext& context, double height);

  std::shared_ptr<platform::TrackingArea> trackingArea_;
  platform::TextAttributes textFontAttributes_;
  double leftOffset_ = 64;
  double rightOffset_ = 16;
  double topOffset_ = 16;
  double bottomOffset_ = 16;
  platform::ColorRef colorLeft_;
  platform::ColorRef colorRight_;
  std::shared_ptr<const platform::Image> interactionImage_;
  double colorAlpha_ = 0.5;
  std::vector<Pair> data_;
  std::vector<std::string> legendLabelsX_;
  std::vector<std::string> legendLabelsY_;
  double gridLineWidth_ = 0.5;
  double lineWidth_ = 1;
  std::optional<std::int64_t> index_;
  std::optional<platform::Rect> deleteRect_;
  bool mouseInDeletionRect_ = false;
  std::function<void()> indexChanged_;
  std::function<void()> clickedInRect_;
};

}  // namespace Tavrix
