#include "Bexlan/Value.hpp"

#include <map>

#include "Bexlan/DiskUtilities.hpp"
#include "Bexlan/Formatted.hpp"
#include "Bexlan/String.hpp"
#include "Platform/Foundation/NumberFormatter.hpp"

namespace Bexlan {

namespace {

// The formatter of percent texts with that many fraction digits, one per count and thread, kept because
// building ICU's formatter costs far more than formatting; it follows a change of the region's locale by
// itself at its next use.
const platform::NumberFormatter& percentFormatter(int fractionDigits) {
  thread_local std::map<int, platform::NumberFormatter> formatters;
  const auto [entry, added] = formatters.try_emplace(fractionDigits);
  if (added) entry->second.setMaximumFractionDigits(fractionDigits);
  return entry->second;
}

}  // namespace

Value::Value(IdentifierCategory category, bool isSigned, std::optional<std::int64_t> decimals)
    : category_(category), isSigned_(isSigned) {
  setDecimals(decimals);
}

void Value::setDecimals(std::optional<std::int64_t> decimals) {
  if (decimals) {
    fractionDigitCount(*decimals);  // throws for a count the texts could not use
  }
  decimals_ = decimals;
}

std::string Value::description() const {
  switch (category_) {
    case IdentifierCategory::raw: return rawString();
    case IdentifierCategory::size:
      return rawValue_ ? DiskUtilities::bytesString(rawValue_->unsignedLongLongValue()) : String::dash();
    case IdentifierCategory::percentage: break;
  }
  return percentString();
}

std::string Value::rawString() const {
  if (!rawValue_) {
    return String::dash();
  }
  if (!decimals_) {
    return integerText();
  }
  return formatted(rawValue_->doubleValue(), *decimals_);
}

std::string Value::percentString() const {
  if (!rawValue_) {
    return String::dash();
  }
  if (!decimals_) {
    return integerText() + " %";
  }
  const auto text = percentFormatter(fractionDigitCount(*decimals_)).string(rawValue_->doubleValue());
  return text ? *text + " %" : String::dash();
}

std::string Value::integerText() const {
  return isSigned_ ? std::to_string(rawValue_->longLongValue())
                   : std::to_string(rawValue_->unsignedLongLongValue());
}

}  // namespace Bexlan
