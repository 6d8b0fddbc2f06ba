#include "Platform/Graphics/Font.hpp"

#include <cmath>
#include <stdexcept>

#include "Platform/Graphics/TextLayout.hpp"

namespace platform {

namespace {

void requireSize(double size, const char* operation) {
  if (!(size > 0) || size > Font::largestSize) {
    throw std::invalid_argument(std::string("Font::") + operation + ": the size " + std::to_string(size) +
                                " is not above zero and at most " + std::to_string(Font::largestSize) +
                                " points");
  }
}

}  // namespace

Font::Font(Token, std::string family, double size, FontWeight weight)
    : family_(std::move(family)), pointSize_(size), weight_(weight) {}

std::shared_ptr<const Font> Font::systemFont(double size, FontWeight weight) {
  requireSize(size, "systemFont");
  return std::make_shared<const Font>(Token{}, std::string(systemFamily), size, weight);
}

std::shared_ptr<const Font> Font::boldSystemFont(double size) { return systemFont(size, FontWeight::bold); }

std::shared_ptr<const Font> Font::withSize(double size) const {
  requireSize(size, "withSize");
  return std::make_shared<const Font>(Token{}, family_, size, weight_);
}

const Font::Metrics& Font::metrics() const {
  std::call_once(metricsOnce_, [this] {
    PangoFontMetrics* read =
        pango_context_get_metrics(textPangoContext(), fontDescription(*this).get(), nullptr);
    const double ascent = static_cast<double>(pango_font_metrics_get_ascent(read)) / PANGO_SCALE;
    const double descent = static_cast<double>(pango_font_metrics_get_descent(read)) / PANGO_SCALE;
    const double height = static_cast<double>(pango_font_metrics_get_height(read)) / PANGO_SCALE;
    pango_font_metrics_unref(read);
    metrics_ = {ascent, -descent, std::max(0.0, height - ascent - descent)};
  });
  return metrics_;
}

double Font::ascender() const { return metrics().ascender; }

double Font::descender() const { return metrics().descender; }

double Font::leading() const { return metrics().leading; }

double Font::lineHeight() const { return ascender() - descender() + leading(); }

}  // namespace platform
