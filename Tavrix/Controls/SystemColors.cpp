#include "Tavrix/Controls/SystemColors.hpp"

#include "Tavrix/Controls/Rgb255.hpp"

namespace Tavrix {

namespace {

struct Shades {
  platform::Rgba light;
  platform::Rgba dark;
};

// The system colour table: for each colour its value in light and in dark appearances. Labels and
// separators are black or white at partial opacity; the hues are the platform's published system colours,
// a little brighter in dark appearances.
namespace table {
constexpr Shades label{{0, 0, 0, 0.85}, {1, 1, 1, 0.85}};
constexpr Shades secondaryLabel{{0, 0, 0, 0.5}, {1, 1, 1, 0.55}};
constexpr Shades tertiaryLabel{{0, 0, 0, 0.26}, {1, 1, 1, 0.25}};
constexpr Shades quaternaryLabel{{0, 0, 0, 0.1}, {1, 1, 1, 0.1}};
constexpr Shades separator{{0, 0, 0, 0.1}, {1, 1, 1, 0.1}};
constexpr Shades link{rgba255(0, 104, 218), rgba255(65, 156, 255)};
constexpr Shades highlight{rgba255(255, 255, 255), rgba255(180, 180, 180)};
constexpr Shades windowBackground{rgba255(236, 236, 236), rgba255(50, 50, 50)};
constexpr Shades evenRow{rgba255(255, 255, 255), rgba255(30, 30, 30)};
constexpr Shades oddRow{rgba255(244, 245, 245), rgba255(38, 38, 38)};
constexpr Shades red{rgba255(255, 59, 48), rgba255(255, 69, 58)};
constexpr Shades orange{rgba255(255, 149, 0), rgba255(255, 159, 10)};
constexpr Shades yellow{rgba255(255, 204, 0), rgba255(255, 214, 10)};
constexpr Shades green{rgba255(40, 205, 65), rgba255(50, 215, 75)};
constexpr Shades teal{rgba255(89, 173, 196), rgba255(106, 196, 220)};
constexpr Shades blue{rgba255(0, 122, 255), rgba255(10, 132, 255)};
constexpr Shades pink{rgba255(255, 45, 85), rgba255(255, 55, 95)};
constexpr Shades gray{rgba255(142, 142, 147), rgba255(152, 152, 157)};
}  // namespace table

platform::ColorRef make(const Shades& shades) { return platform::Color::dynamic(shades.light, shades.dark); }

}  // namespace

const platform::ColorRef& SystemColors::labelColor() {
  static const platform::ColorRef color = make(table::label);
  return color;
}

const platform::ColorRef& SystemColors::secondaryLabelColor() {
  static const platform::ColorRef color = make(table::secondaryLabel);
  return color;
}

const platform::ColorRef& SystemColors::tertiaryLabelColor() {
  static const platform::ColorRef color = make(table::tertiaryLabel);
  return color;
}

const platform::ColorRef& SystemColors::quaternaryLabelColor() {
  static const platform::ColorRef color = make(table::quaternaryLabel);
  return color;
}

const platform::ColorRef& SystemColors::separatorColor() {
  static const platform::ColorRef color = make(table::separator);
  return color;
}

const platform::ColorRef& SystemColors::controlAccentColor() {
  static const platform::ColorRef color = make(table::blue);
  return color;
}

const platform::ColorRef& SystemColors::linkColor() {
  static const platform::ColorRef color = make(table::link);
  return color;
}

const platform::ColorRef& SystemColors::highlightColor() {
  static const platform::ColorRef color = make(table::highlight);
  return color;
}

const platform::ColorRef& SystemColors::windowBackgroundColor() {
  static const platform::ColorRef color = make(table::windowBackground);
  return color;
}

const std::vector<platform::ColorRef>& SystemColors::alternatingContentBackgroundColors() {
  static const std::vector<platform::ColorRef> colors{make(table::evenRow), make(table::oddRow)};
  return colors;
}

const platform::ColorRef& SystemColors::systemRed() {
  static const platform::ColorRef color = make(table::red);
  return color;
}

const platform::ColorRef& SystemColors::systemOrange() {
  static const platform::ColorRef color = make(table::orange);
  return color;
}

const platform::ColorRef& SystemColors::systemYellow() {
  static const platform::ColorRef color = make(table::yellow);
  return color;
}

const platform::ColorRef& SystemColors::systemGreen() {
  static const platform::ColorRef color = make(table::green);
  return color;
}

const platform::ColorRef& SystemColors::systemTeal() {
  static const platform::ColorRef color = make(table::teal);
  return color;
}

const platform::ColorRef& SystemColors::systemBlue() {
  static const platform::ColorRef color = make(table::blue);
  return color;
}

const platform::ColorRef& SystemColors::systemPink() {
  static const platform::ColorRef color = make(table::pink);
  return color;
}

const platform::ColorRef& SystemColors::systemGray() {
  static const platform::ColorRef color = make(table::gray);
  return color;
}

}  // namespace Tavrix
