#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace platform {

// Font weights from the lightest to the heaviest. The system font has a light, a regular and a bold face;
// fontconfig draws every weight with the nearest of them (medium as regular, semibold and above as bold).
enum class FontWeight { ultraLight, thin, light, regular, medium, semibold, bold, heavy, black };

// A typeface at a size in points (one point is one user-space unit) and weight. Fonts are immutable shared
// objects; text is laid out and drawn with them through pango and fontconfig. The system font is DejaVu
// Sans, so widths and heights differ from other platforms' system fonts.
class Font {
 public:
  static constexpr std::string_view systemFamily = "DejaVu Sans";
  // Larger sizes would overflow pango's integer units.
  static constexpr double largestSize = 10000;

  // Throw std::invalid_argument for a size that is not above zero and at most largestSize.
  static std::shared_ptr<const Font> systemFont(double size, FontWeight weight = FontWeight::regular);
  static std::shared_ptr<const Font> boldSystemFont(double size);

  const std::string& family() const { return family_; }
  double pointSize() const { return pointSize_; }
  FontWeight weight() const { return weight_; }
  // The same typeface and weight at another size (std::invalid_argument as systemFont).
  std::shared_ptr<const Font> withSize(double size) const;

  // Same family, size and weight.
  friend bool operator==(const Font& a, const Font& b) {
    return a.family_ == b.family_ && a.pointSize_ == b.pointSize_ && a.weight_ == b.weight_;
  }

 private:
  struct Token {};

 public:
  // Use systemFont or boldSystemFont; public only so that std::make_shared can reach it.
  Font(Token, std::string family, double size, FontWeight weight);

 private:
  std::string family_;
  double pointSize_;
  FontWeight weight_;
};

}  // namespace platform
