#include "Platform/Foundation/NumberFormatter.hpp"

#include <unicode/dcfmtsym.h>
#include <unicode/numberformatter.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

#include "Platform/Foundation/Region.hpp"

namespace platform {

namespace {

UNumberFormatRoundingMode icuRoundingMode(NumberFormatter::RoundingMode mode) {
  using Mode = NumberFormatter::RoundingMode;
  switch (mode) {
    case Mode::down: return UNUM_ROUND_DOWN;
    case Mode::halfEven: return UNUM_ROUND_HALFEVEN;
  }
  return UNUM_ROUND_HALFEVEN;
}

int checkedDigitCount(int digits, const char* setting) {
  if (digits < 0 || digits > NumberFormatter::maximumDigitCount) {
    throw std::out_of_range(std::string("NumberFormatter: ") + setting + " must be 0 to " +
                            std::to_string(NumberFormatter::maximumDigitCount) + ", got " +
                            std::to_string(digits));
  }
  return digits;
}

std::optional<std::string> utf8(const icu::number::FormattedNumber& formatted, UErrorCode status) {
  const icu::UnicodeString text = formatted.toString(status);
  if (U_FAILURE(status)) {
    return std::nullopt;
  }
  std::string result;
  text.toUTF8String(result);
  return result;
}

}  // namespace

struct NumberFormatter::Compiled {
  std::string localeId;
  icu::number::LocalizedNumberFormatter formatter;
};

NumberFormatter::NumberFormatter() = default;

// Copies take the settings; each copy builds its own ICU formatter when first used.
NumberFormatter::NumberFormatter(const NumberFormatter& other) : settings_(other.settings_) {}

NumberFormatter& NumberFormatter::operator=(const NumberFormatter& other) {
  if (this != &other) {
    settings_ = other.settings_;
    invalidate();
  }
  return *this;
}

NumberFormatter::~NumberFormatter() = default;

void NumberFormatter::setUsesGrouping(bool usesGrouping) {
  settings_.usesGrouping = usesGrouping;
  invalidate();
}

void NumberFormatter::setMinimumFractionDigits(int digits) {
  settings_.minimumFractionDigits = checkedDigitCount(digits, "minimumFractionDigits");
  if (settings_.maximumFractionDigits < digits) {
    settings_.maximumFractionDigits = digits;
  }
  invalidate();
}

void NumberFormatter::setMaximumFractionDigits(int digits) {
  settings_.maximumFractionDigits = checkedDigitCount(digits, "maximumFractionDigits");
  if (settings_.minimumFractionDigits > digits) {
    settings_.minimumFractionDigits = digits;
  }
  invalidate();
}

void NumberFormatter::setRoundingMode(RoundingMode mode) {
  settings_.roundingMode = mode;
  invalidate();
}

std::optional<std::string> NumberFormatter::string(double value) const {
  UErrorCode status = U_ZERO_ERROR;
  const auto formatted = compiled()->formatter.formatDouble(value, status);
  return utf8(formatted, status);
}

std::optional<std::string> NumberFormatter::formatSigned(std::int64_t value) const {
  UErrorCode status = U_ZERO_ERROR;
  const auto formatted = compiled()->formatter.formatInt(value, status);
  return utf8(formatted, status);
}

std::optional<std::string> NumberFormatter::formatUnsigned(std::uint64_t value) const {
  if (value <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
    return formatSigned(static_cast<std::int64_t>(value));
  }
  // ICU's integer entry point is signed; larger values go through their exact decimal digits.
  return formatDecimal(std::to_string(value).c_str());
}

std::optional<std::string> NumberFormatter::string(const Number& number) const {
  switch (number.type()) {
    case Number::Type::Bool:
    case Number::Type::UInt8:
    case Number::Type::UInt16:
    case Number::Type::UInt32:
    case Number::Type::UInt64: return formatUnsigned(number.unsignedLongLongValue());
    case Number::Type::Int8:
    case Number::Type::Int16:
    case Number::Type::Int32:
    case Number::Type::Int64: return formatSigned(number.longLongValue());
    case Number::Type::Float:
      if (const float value = number.floatValue(); std::isfinite(value)) {
        char digits[32];
        const auto end = std::to_chars(digits, digits + sizeof(digits) - 1, value).ptr;
        *end = '\0';
        return formatDecimal(digits);
      }
      break;
    case Number::Type::Double: break;
  }
  return string(number.doubleValue());
}

std::optional<std::string> NumberFormatter::formatDecimal(const char* digits) const {
  UErrorCode status = U_ZERO_ERROR;
  const auto formatted = compiled()->formatter.formatDecimal(digits, status);
  return utf8(formatted, status);
}

std::shared_ptr<const NumberFormatter::Compiled> NumberFormatter::compiled() const {
  std::string localeId = Region::currentLocaleId();
  {
    std::lock_guard lock(cacheMutex_);
    if (cache_ && cache_->localeId == localeId) {
      return cache_;
    }
  }
  namespace number = icu::number;
  const Settings& with = settings_;
  auto formatter = number::NumberFormatter::withLocale(Region::makeIcuLocale(localeId))
                       .grouping(with.usesGrouping ? UNUM_GROUPING_AUTO : UNUM_GROUPING_OFF)
                       .precision(number::Precision::minMaxFraction(with.minimumFractionDigits,
                                                                    with.maximumFractionDigits))
                       .roundingMode(icuRoundingMode(with.roundingMode));
  auto built = std::make_shared<const Compiled>(Compiled{std::move(localeId), std::move(formatter)});
  std::lock_guard lock(cacheMutex_);
  cache_ = built;
  return built;
}

void NumberFormatter::invalidate() {
  std::lock_guard lock(cacheMutex_);
  cache_.reset();
}

std::string NumberFormatter::decimalSeparator(std::string_view localeId) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::DecimalFormatSymbols symbols(Region::makeIcuLocale(localeId), status);
  if (U_FAILURE(status)) {
    return {};
  }
  std::string result;
  symbols.getConstSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol).toUTF8String(result);
  return result;
}

}  // namespace platform
