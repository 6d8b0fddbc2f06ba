#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/TextAlignment.hpp"

namespace platform {

class Font;

// A layer whose content is a string, laid out from the top of its bounds. By the platform's defaults the
// text is 36 points and white. drawInContext draws the string upright, aligned across the bounds and clipped
// to them: one line per paragraph (a line too long runs on and is clipped), or wrapped at the bounds'
// width when isWrapped. A subclass can take the drawing over by overriding drawInContext.
//
// Adds the animatable key paths "foregroundColor" and "fontSize".
class TextLayer : public Layer {
 public:
  // UTF-8 text.
  const std::string& string() const { return string_; }
  void setString(std::string text) { string_ = std::move(text); }
  // The typeface; null means the system font. Its size is replaced by fontSize.
  const std::shared_ptr<const Font>& font() const { return font_; }
  void setFont(std::shared_ptr<const Font> font) { font_ = std::move(font); }
  double fontSize() const { return fontSize_; }
  void setFontSize(double size) { fontSize_ = size; }
  const std::optional<Rgba>& foregroundColor() const { return foregroundColor_; }
  void setForegroundColor(std::optional<Rgba> color) { foregroundColor_ = color; }
  TextAlignment alignmentMode() const { return alignmentMode_; }
  void setAlignmentMode(TextAlignment alignment) { alignmentMode_ = alignment; }
  bool isWrapped() const { return wrapped_; }
  void setWrapped(bool wrapped) { wrapped_ = wrapped; }

  std::optional<AnimatableValue> modelValue(std::string_view keyPath) const override;
  // Reads the font size, colour and bounds at the context's render time; a size outside the fonts' range
  // (0, Font::largestSize] or an unset colour draws nothing.
  void drawInContext(GraphicsContext& context) override;

 private:
  std::string string_;
  std::shared_ptr<const Font> font_;
  double fontSize_ = 36;
  std::optional<Rgba> foregroundColor_ = Rgba{1, 1, 1, 1};
  TextAlignment alignmentMode_ = TextAlignment::natural;
  bool wrapped_ = false;
};

}  // namespace platform
