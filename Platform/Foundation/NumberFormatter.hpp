#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "Platform/Foundation/Number.hpp"

namespace platform {

// Locale-aware decimal number texts through ICU. A new formatter writes like a plain number formatter
// with no style: no grouping, at least one integer digit, no fraction digits, halves rounded to even,
// in the region's current locale (Region::currentLocaleId(), read when each text is made).
//
// Doubles are formatted from their shortest round-trip decimal form, so 4.35 rounded down to two fraction
// digits stays 4.35 (its binary value is 4.3499999...). NaN and the infinities give ICU's texts for the
// locale ("NaN", "∞" and "-∞" in en_US; "NaN", "INF" and "-INF" in en_US_POSIX).
//
// Formatting is thread-safe: one formatter may be used from several threads at once. Changing a setting
// while another thread formats with the same formatter is not.
class NumberFormatter {
 public:
  enum class RoundingMode {
    down,      // toward zero (truncation)
    halfEven,  // to nearest; halves to the even neighbour
  };

  // The largest digit count a setting accepts.
  static constexpr int maximumDigitCount = 999;

  NumberFormatter();
  NumberFormatter(const NumberFormatter& other);
  NumberFormatter& operator=(const NumberFormatter& other);
  ~NumberFormatter();

  // Grouping follows the locale's rules (en_US 1,234,567; en_IN 12,34,567; none in en_US_POSIX).
  void setUsesGrouping(bool usesGrouping);

  // Fraction digit counts are 0 to maximumDigitCount; others throw std::out_of_range. Raising the minimum
  // above the maximum raises the maximum with it, and lowering the maximum below the minimum lowers the
  // minimum.
  void setMinimumFractionDigits(int digits);
  void setMaximumFractionDigits(int digits);

  void setRoundingMode(RoundingMode mode);

  // The text of a number, or nullopt when ICU cannot format it.
  std::optional<std::string> string(double value) const;
  template <std::integral Integer>
  requires(!std::same_as<Integer, bool>) std::optional<std::string> string(Integer value)
  const {
    if constexpr (std::is_signed_v<Integer>) {
      return formatSigned(static_cast<std::int64_t>(value));
    } else {
      return formatUnsigned(static_cast<std::uint64_t>(value));
    }
  }
  // A number by the type it keeps: integers with all their digits (Bool as 0 or 1), a Double as above, a
  // finite Float from its own shortest decimal form (0.1f is 0.1, not 0.100000001490116).
  std::optional<std::string> string(const Number& number) const;

  // The locale's decimal separator ("." for en_US, "," for de_DE).
  static std::string decimalSeparator(std::string_view localeId);

 private:
  struct Compiled;

  std::optional<std::string> formatSigned(std::int64_t value) const;
  std::optional<std::string> formatUnsigned(std::uint64_t value) const;
  std::optional<std::string> formatDecimal(const char* digits) const;
  // The ICU formatter for the current settings and locale, built on first use and rebuilt when a setting
  // or the effective locale changes.
  std::shared_ptr<const Compiled> compiled() const;
  void invalidate();

  struct Settings {
    bool usesGrouping = false;
    int minimumFractionDigits = 0;
    int maximumFractionDigits = 0;
    RoundingMode roundingMode = RoundingMode::halfEven;
  };

  Settings settings_;

  mutable std::mutex cacheMutex_;
  mutable std::shared_ptr<const Compiled> cache_;
};

}  // namespace platform
