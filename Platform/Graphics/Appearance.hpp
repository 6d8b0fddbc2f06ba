#pragma once

#include <string>
#include <string_view>

namespace platform {

// A named look (light, dark, vibrant, high contrast). Whether it is dark is decided by its name alone: dark
// when the lower-cased name contains "dark".
class Appearance {
 public:
  static constexpr std::string_view aqua = "NSAppearanceNameAqua";
  static constexpr std::string_view darkAqua = "NSAppearanceNameDarkAqua";
  static constexpr std::string_view vibrantLight = "NSAppearanceNameVibrantLight";
  static constexpr std::string_view vibrantDark = "NSAppearanceNameVibrantDark";
  static constexpr std::string_view highContrastAqua = "NSAppearanceNameAccessibilityHighContrastAqua";
  static constexpr std::string_view highContrastDarkAqua =
      "NSAppearanceNameAccessibilityHighContrastDarkAqua";
  static constexpr std::string_view highContrastVibrantLight =
      "NSAppearanceNameAccessibilityHighContrastVibrantLight";
  static constexpr std::string_view highContrastVibrantDark =
      "NSAppearanceNameAccessibilityHighContrastVibrantDark";

  explicit Appearance(std::string name);

  const std::string& name() const { return name_; }
  bool isDark() const;

  // The appearance the calling thread is drawing with: the innermost live AppearanceScope of this thread,
  // else the light "NSAppearanceNameAqua".
  static Appearance current();

  friend bool operator==(const Appearance&, const Appearance&) = default;

 private:
  std::string name_;
};

// Makes an appearance the calling thread's current one while it lives. Scopes nest; destroying one brings
// back the appearance that was current before it. Destroy scopes in the reverse order of their creation, on
// the thread that made them.
class AppearanceScope {
 public:
  explicit AppearanceScope(Appearance appearance);
  ~AppearanceScope();
  AppearanceScope(const AppearanceScope&) = delete;
  AppearanceScope& operator=(const AppearanceScope&) = delete;

 private:
  Appearance appearance_;
  const Appearance* previous_;
};

}  // namespace platform
