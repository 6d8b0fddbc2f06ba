#pragma once

#include <memory>
#include <string>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/Geometry.hpp"

namespace platform {

class View;

// Draws a text field: its string in its font and colour, from the leading edge. Cells draw into the current
// graphics context (nothing without one) in the control's coordinates, which run down from the top; there is
// no editing. Subclasses change how the frame or the text is drawn. Main thread only.
class TextFieldCell {
 public:
  // Space left of and right of the text, and above and below it in cellSize.
  static constexpr double textInset = 2;

  TextFieldCell() = default;
  virtual ~TextFieldCell() = default;
  TextFieldCell(const TextFieldCell&) = delete;
  TextFieldCell& operator=(const TextFieldCell&) = delete;

  const std::string& stringValue() const { return stringValue_; }
  void setStringValue(std::string text) { stringValue_ = std::move(text); }
  // The system font at 13 points until set; null means no font (nothing is drawn or measured).
  const std::shared_ptr<const Font>& font() const { return font_; }
  void setFont(std::shared_ptr<const Font> font) { font_ = std::move(font); }
  // Black in a light appearance and white in a dark one until set (null draws black); a dynamic colour
  // resolves under the appearance being drawn with.
  const ColorRef& textColor() const { return textColor_; }
  void setTextColor(ColorRef color) { textColor_ = std::move(color); }

  // The whole cell in its frame; the base draws the interior only (no bezel).
  virtual void drawWithFrame(const Rect& cellFrame, View& controlView);
  // The displayed text, inset by textInset on the left and right, from the frame's top.
  virtual void drawInterior(const Rect& cellFrame, View& controlView);
  // The size that shows the displayed text: its measured size rounded up, plus textInset on every side.
  virtual Size cellSize() const;

 protected:
  // The text the cell shows: the string itself here.
  virtual std::string displayedString() const { return stringValue_; }

 private:
  std::string stringValue_;
  std::shared_ptr<const Font> font_ = Font::systemFont(13);
  ColorRef textColor_ = Color::dynamic(Rgba{0, 0, 0, 1}, Rgba{1, 1, 1, 1});
};

}  // namespace platform
