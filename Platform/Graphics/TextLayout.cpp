#include "Platform/Graphics/TextLayout.hpp"

#include <algorithm>
#include <cmath>

#include "Platform/Graphics/GraphicsContext.hpp"

namespace platform {

namespace {

// Widths beyond this many points would overflow pango's integer units.
constexpr double widestLayout = 1e6;

// The font map and context that the calling thread lays text out with. Pango's font maps are not for
// sharing between threads, and one of our own is not touched by other code that may change the settings of
// pango's default one. Both go when the thread ends.
class ThreadTextContext {
 public:
  ThreadTextContext()
      : fontMap_(pango_cairo_font_map_new()), context_(pango_font_map_create_context(fontMap_)) {
    pango_cairo_context_set_resolution(context_, 72);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
    pango_cairo_context_set_font_options(context_, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context_, FALSE);
  }
  ~ThreadTextContext() {
    g_object_unref(context_);
    g_object_unref(fontMap_);
  }
  ThreadTextContext(const ThreadTextContext&) = delete;
  ThreadTextContext& operator=(const ThreadTextContext&) = delete;

  PangoContext* context() const { return context_; }

 private:
  PangoFontMap* fontMap_;
  PangoContext* context_;
};

PangoWeight pangoWeight(FontWeight weight) {
  switch (weight) {
    case FontWeight::ultraLight: return PANGO_WEIGHT_ULTRALIGHT;
    case FontWeight::thin: return PANGO_WEIGHT_THIN;
    case FontWeight::light: return PANGO_WEIGHT_LIGHT;
    case FontWeight::medium: return PANGO_WEIGHT_MEDIUM;
    case FontWeight::semibold: return PANGO_WEIGHT_SEMIBOLD;
    case FontWeight::bold: return PANGO_WEIGHT_BOLD;
    case FontWeight::heavy: return PANGO_WEIGHT_ULTRABOLD;
    case FontWeight::black: return PANGO_WEIGHT_HEAVY;
    case FontWeight::regular: break;
  }
  return PANGO_WEIGHT_NORMAL;
}

PangoAlignment pangoAlignment(TextAlignment alignment) {
  switch (alignment) {
    case TextAlignment::center: return PANGO_ALIGN_CENTER;
    case TextAlignment::right: return PANGO_ALIGN_RIGHT;
    default: return PANGO_ALIGN_LEFT;
  }
}

double fromPango(int units) { return static_cast<double>(units) / PANGO_SCALE; }

int toPango(double points) {
  return static_cast<int>(std::lround(std::min(points, widestLayout) * PANGO_SCALE));
}

}  // namespace

FontDescription fontDescription(const Font& font) {
  FontDescription description(pango_font_description_new());
  pango_font_description_set_family(description.get(), font.family().c_str());
  pango_font_description_set_weight(description.get(), pangoWeight(font.weight()));
  pango_font_description_set_absolute_size(description.get(), font.pointSize() * PANGO_SCALE);
  return description;
}

PangoContext* textPangoContext() {
  thread_local const ThreadTextContext text;
  return text.context();
}

TextLayout::TextLayout(std::string_view text, const Font& font, TextAlignment alignment, double width,
                       LineBreakMode mode)
    : layout_(pango_layout_new(textPangoContext())), alignment_(alignment), empty_(text.empty()) {
  PangoLayout* layout = layout_.get();
  // Pango wants valid UTF-8; broken sequences become replacement characters.
  gchar* valid = g_utf8_make_valid(text.data(), static_cast<gssize>(text.size()));
  pango_layout_set_text(layout, valid, -1);
  g_free(valid);
  pango_layout_set_font_description(layout, fontDescription(font).get());
  pango_layout_set_auto_dir(layout, alignment != TextAlignment::left);

  const bool bounded = std::isfinite(width) && width >= 0;
  pangoAligns_ = bounded && mode == LineBreakMode::wordWrap;
  if (pangoAligns_) {
    pango_layout_set_width(layout, toPango(width));
    pango_layout_set_alignment(layout, pangoAlignment(alignment));
    pango_layout_set_justify(layout, alignment == TextAlignment::justified);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  }
}

Size TextLayout::size() const {
  if (empty_) {
    return {};
  }
  PangoRectangle logical;
  pango_layout_get_extents(layout_.get(), nullptr, &logical);
  return {fromPango(logical.width), fromPango(logical.height)};
}

double TextLayout::lineOffset(double lineWidth, double boxWidth) const {
  switch (alignment_) {
    case TextAlignment::center: return (boxWidth - lineWidth) / 2;
    case TextAlignment::right: return boxWidth - lineWidth;
    default: return 0;
  }
}

void TextLayout::draw(GraphicsContext& context, const Rect& rect, const Rgba& color,
                      bool wholeLinesOnly) const {
  const Rect box = rect.standardized();
  if (empty_ || !std::isfinite(box.minX()) || !std::isfinite(box.maxY()) || !std::isfinite(box.width())) {
    return;
  }
  cairo_t* cairo = context.cairo();
  const bool yUp = context.isYUp();
  cairo_save(cairo);
  // Lines go down from the box's top-left corner; in a y-up space that needs a local flip, or the glyphs
  // would come out mirrored.
  cairo_translate(cairo, box.minX(), yUp ? box.maxY() : box.minY());
  if (yUp) {
    cairo_scale(cairo, 1, -1);
  }
  cairo_set_source_rgba(cairo, color.red, color.green, color.blue, color.alpha);
  PangoLayoutIter* lines = pango_layout_get_iter(layout_.get());
  int index = 0;
  do {
    PangoRectangle logical;
    pango_layout_iter_get_line_extents(lines, nullptr, &logical);
    if (index > 0 && wholeLinesOnly && fromPango(logical.y + logical.height) > box.height() + 1e-9) {
      break;
    }
    const double x = pangoAligns_ ? fromPango(logical.x) : lineOffset(fromPango(logical.width), box.width());
    cairo_move_to(cairo, x, fromPango(pango_layout_iter_get_baseline(lines)));
    pango_cairo_show_layout_line(cairo, pango_layout_iter_get_line_readonly(lines));
    ++index;
  } while (pango_layout_iter_next_line(lines));
  pango_layout_iter_free(lines);
  cairo_restore(cairo);
}

}  // namespace platform
