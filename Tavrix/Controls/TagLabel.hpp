#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/TextField.hpp"

namespace Tavrix {

// A small tag: its text in a colour over a rounded background of the same colour at low opacity, sized to
// the text through its "width" and "height" constraints, with an optional progress fill behind the text.
// Layer-backed and rounded (radius 4, clipped) from creation.
//
// Setting the colour, offset, progress, height offset or text restyles it at once (update); setting
// autoCalculateSize only stores it. Made in code (View::create) or by name from an archive ("TagLabel",
// exposing "offset", "autoCalculateSize", "heightOffset" and "stringValue"). Main thread only.
class TagLabel : public platform::TextField {
 public:
  explicit TagLabel(const platform::Rect& frame = platform::Rect());

  // The current fill, or null.
  const std::shared_ptr<platform::ShapeLayer>& progressLayer() const { return progressLayer_; }

  // System green until set; null throws std::invalid_argument.
  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color);
  // Space left and right of the text.
  double offset() const { return offset_; }
  void setOffset(double offset);
  // The filled fraction of the width (held to 0...1, NaN as 0); none means no fill.
  const std::optional<double>& progress() const { return progress_; }
  void setProgress(std::optional<double> progress);
  // Whether update keeps the "width" and "height" constraints in step with the text.
  bool autoCalculateSize() const { return autoCalculateSize_; }
  void setAutoCalculateSize(bool autoCalculate) { autoCalculateSize_ = autoCalculate; }
  // Height added to the text's.
  double heightOffset() const { return heightOffset_; }
  void setHeightOffset(double heightOffset);

  void setStringValue(std::string text) override;

  // Colours the text and background; with autoCalculateSize, sets the "width" constraint to the measured
  // text width + 1 + 2 x offset and the "height" one to its height + 1 + heightOffset, each cut to a whole
  // number (adding each constraint the first time); replaces the fill; then lays the label out.
  virtual void update();

 protected:
  void didInit() override;

 private:
  // Sets the constant of the label's first constraint with the identifier, or adds a new one.
  void setSizeConstraint(const std::string& identifier, double constant);

  std::shared_ptr<platform::ShapeLayer> progressLayer_;
  platform::ColorRef color_;
  double offset_ = 6;
  std::optional<double> progress_;
  bool autoCalculateSize_ = true;
  double heightOffset_ = 4;
};

}  // namespace Tavrix
