#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "Bexlan/IValueProvider.hpp"
#include "Bexlan/IdentifierCategory.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The current number of a number entry together with the rules that turn it into text: the category, an
// optional count of fraction digits (absent: the number is shown as an integer) and whether integers read
// as signed or unsigned 64-bit. Every text of an absent number is "-".
//
// A Value is owned by the one entry that made it and has no guard: write and read it from one thread.
class Value final : public IValueProvider {
 public:
  // Throws std::out_of_range when `decimals` is present and not 0 to 999.
  Value(IdentifierCategory category, bool isSigned, std::optional<std::int64_t> decimals);

  std::optional<platform::Number> rawValue() const override { return rawValue_; }
  std::optional<platform::Number> value() const { return rawValue_; }
  void setNumber(std::optional<platform::Number> number) override { rawValue_ = number; }

  IdentifierCategory category() const { return category_; }
  void setCategory(IdentifierCategory category) { category_ = category; }
  std::optional<std::int64_t> decimals() const { return decimals_; }
  // Throws std::out_of_range when `decimals` is present and not 0 to 999.
  void setDecimals(std::optional<std::int64_t> decimals);
  bool isSigned() const { return isSigned_; }
  void setSigned(bool isSigned) { isSigned_ = isSigned; }

  // By category: rawString; the byte-size text of the number read as unsigned 64-bit ("1.5 KB");
  // percentString.
  std::string description() const override;

  // Without decimals the integer, read as signed or unsigned 64-bit, in plain digits without a locale
  // ("-5", "18446744073709551615"); with decimals exactly that many fraction digits, cut toward zero, in
  // the current locale ("2.99" for 2.999 with 2).
  std::string rawString() const;
  // Without decimals the integer as rawString writes it, a blank and "%" ("42 %"); with decimals at most
  // that many fraction digits, halves rounded to even, no trailing zeros, in the current locale ("12.3 %"
  // for 12.34 with 1, "12 %" for 12).
  std::string percentString() const;

 private:
  std::string integerText() const;

  std::optional<platform::Number> rawValue_;
  IdentifierCategory category_;
  std::optional<std::int64_t> decimals_;
  bool isSigned_;
};

}  // namespace Bexlan
