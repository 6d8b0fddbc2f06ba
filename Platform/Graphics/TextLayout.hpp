#pragma once

#include <pango/pangocairo.h>

#include <limits>
#include <memory>
#include <string_view>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/TextAlignment.hpp"

namespace platform {

class GraphicsContext;

// What happens to a line longer than the width it is laid out in.
enum class LineBreakMode { wordWrap, clip };

// A pango description of a font: its family, weight and size in user-space units.
struct FontDescriptionRelease {
  void operator()(PangoFontDescription* description) const { pango_font_description_free(description); }
};
using FontDescription = std::unique_ptr<PangoFontDescription, FontDescriptionRelease>;
FontDescription fontDescription(const Font& font);

// The pango context of the calling thread that all text is laid out with: 72 dots per inch, so a point is
// one user-space unit, and no hinting and no rounding of glyph positions, so that sizes stay the same at
// every output scale.
PangoContext* textPangoContext();

// Text laid out by pango in one font, for measuring and drawing. Paragraphs ("\n") always start new lines.
class TextLayout {
 public:
  static constexpr double unbounded = std::numeric_limits<double>::infinity();

  // UTF-8 text laid out across width (unbounded: as wide as the text needs). Alignment places each line
  // across the width (across the widest line when unbounded). Words wrap, or long lines run on (and are
  // clipped by whoever draws them).
  TextLayout(std::string_view text, const Font& font, TextAlignment alignment, double width,
             LineBreakMode mode);

  // The logical extent of all lines: the widest line, and the line count times the line height. Zero for
  // empty text.
  Size size() const;

  // Draws the lines from the top edge of rect downwards, upright whatever the context's orientation, in
  // the colour. With wholeLinesOnly, lines after the first are drawn only while they end within the
  // rectangle's height.
  void draw(GraphicsContext& context, const Rect& rect, const Rgba& color, bool wholeLinesOnly) const;

 private:
  struct LayoutRelease {
    void operator()(PangoLayout* layout) const { g_object_unref(layout); }
  };

  // How far right a line of the given width starts in a box of the layout's width.
  double lineOffset(double lineWidth, double boxWidth) const;

  std::unique_ptr<PangoLayout, LayoutRelease> layout_;
  TextAlignment alignment_;
  // True when pango places the lines across the width itself.
  bool pangoAligns_;
  bool empty_;
};

}  // namespace platform
