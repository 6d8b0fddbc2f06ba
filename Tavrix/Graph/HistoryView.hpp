#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A series shown as a dot matrix: one column of ten squares per value, all of them always there in a dim
// background colour, those up to the value's share of max() lit with the colour of one vertical gradient
// that spans the whole view (the first colour at the top edge, the last at the bottom). Layer-backed: a
// shape layer holds the background squares, and above it a gradient layer is masked by a new shape layer of
// the lit squares at every redraw. The background is rebuilt only when the count of values, the square size
// or gap, the background colour (as resolved) or the bounds changed since the last build.
//
// Setting the square size, background colour, gap, data or max redraws at once, as do layout and appearance
// changes, unless the view is locked: lock() holds every redraw back until unlock(), which redraws once.
// Setting the colours recolours the gradient at once, locked or not. Made in code or by name
// ("HistoryView", exposing "length", "backColor" and "offset"). Main thread only.
class HistoryView : public platform::View {
 public:
  explicit HistoryView(const platform::Rect& frame = platform::Rect());

  const std::shared_ptr<platform::ShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
  const std::shared_ptr<platform::GradientLayer>& gradientLayer() const { return gradientLayer_; }
  bool isLocked() const { return isLocked_; }

  // The side of one square and the gap between squares, in points.
  double length() const { return length_; }
  void setLength(double length);
  // The tertiary label colour unless set; throws std::invalid_argument for a null colour.
  const platform::ColorRef& backColor() const { return backColor_; }
  void setBackColor(platform::ColorRef color);
  double offset() const { return offset_; }
  void setOffset(double offset);
  // One column per value, leftmost first.
  const std::vector<double>& data() const { return data_; }
  void setData(std::vector<double> data);
  // The palette's fancy gradient unless set; throws std::invalid_argument for a null colour.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors);
  // The value that lights all ten squares of a column.
  double max() const { return max_; }
  void setMax(double max);

  // The size the matrix needs: ten rows and nine gaps high; one square and one gap per value wide.
  double contentHeight() const;
  double contentWidth() const;

  // Draws the background and the lit squares again, unless locked.
  virtual void redraw();
  virtual void lock();
  // Unlocks and draws the background and the lit squares again.
  virtual void unlock();
  virtual void drawBackground();
  // Sets the gradient layer up over the bounds with the colours, top to bottom; making the view runs it.
  virtual void setupGradient();
  // Masks the gradient with the lit squares: per column the whole number of tenths of max() the value
  // reaches, no more than the rows that start inside the bounds, none when the ratio is not a finite number.
  virtual void drawValues();

  void layout() override;
  void viewDidChangeEffectiveAppearance() override;

 protected:
  void didInit() override;

 private:
  // What the background squares were last built for.
  struct BackgroundKey {
    std::size_t count;
    double length;
    double offset;
    platform::Rgba color;
    platform::Rect bounds;
    friend bool operator==(const BackgroundKey&, const BackgroundKey&) = default;
  };

  platform::Rect square(std::size_t column, std::size_t row) const;
  std::vector<platform::Rgba> resolvedColors() const;

  const std::shared_ptr<platform::ShapeLayer> backgroundLayer_;
  const std::shared_ptr<platform::GradientLayer> gradientLayer_;
  std::optional<BackgroundKey> background_;
  bool isLocked_ = false;
  double length_ = 3;
  platform::ColorRef backColor_;
  double offset_ = 2;
  std::vector<double> data_;
  std::vector<platform::ColorRef> colors_;
  double max_ = 100;
};

}  // namespace Tavrix
