#include "Platform/Foundation/MeasurementFormatter.hpp"

#include <unicode/measunit.h>
#include <unicode/numberformatter.h>

#include "Platform/Foundation/FatalError.hpp"
#include "Platform/Foundation/Region.hpp"

namespace platform {

namespace {

// Picoseconds per unit: every factor is an exact integer in a double.
double picoseconds(DurationUnit unit) {
  switch (unit) {
    case DurationUnit::hours: return 3.6e15;
    case DurationUnit::minutes: return 6e13;
    case DurationUnit::seconds: return 1e12;
    case DurationUnit::milliseconds: return 1e9;
    case DurationUnit::microseconds: return 1e6;
    case DurationUnit::nanoseconds: return 1e3;
    case DurationUnit::picoseconds: return 1;
  }
  return 1;
}

icu::MeasureUnit measureUnit(DurationUnit unit) {
  switch (unit) {
    case DurationUnit::hours: return icu::MeasureUnit::getHour();
    case DurationUnit::minutes: return icu::MeasureUnit::getMinute();
    case DurationUnit::seconds: return icu::MeasureUnit::getSecond();
    case DurationUnit::milliseconds: return icu::MeasureUnit::getMillisecond();
    case DurationUnit::microseconds: return icu::MeasureUnit::getMicrosecond();
    case DurationUnit::nanoseconds: return icu::MeasureUnit::getNanosecond();
    case DurationUnit::picoseconds: break;
  }
  UErrorCode status = U_ZERO_ERROR;
  icu::MeasureUnit pico = icu::MeasureUnit::forIdentifier("picosecond", status);
  if (U_FAILURE(status)) fatalError(std::string("ICU lacks the picosecond unit: ") + u_errorName(status));
  return pico;
}

}  // namespace

double MeasurementFormatter::convert(double value, DurationUnit from, DurationUnit to) {
  if (from == to) return value;
  // Divide the larger factor by the smaller so the ratio stays exact (60, 1000, 3.6e15...).
  const double fromFactor = picoseconds(from);
  const double toFactor = picoseconds(to);
  return fromFactor >= toFactor ? value * (fromFactor / toFactor) : value / (toFactor / fromFactor);
}

std::string MeasurementFormatter::string(double value, DurationUnit unit, std::string_view localeId) {
  const icu::Locale locale = Region::makeIcuLocale(localeId.empty() ? Region::currentLocaleId() : localeId);
  UErrorCode status = U_ZERO_ERROR;
  const icu::number::FormattedNumber formatted = icu::number::NumberFormatter::withLocale(locale)
                                                     .unit(measureUnit(unit))
                                                     .unitWidth(UNUM_UNIT_WIDTH_SHORT)
                                                     .precision(icu::number::Precision::minMaxFraction(0, 3))
                                                     .formatDouble(value, status);
  std::string result;
  formatted.toString(status).toUTF8String(result);
  if (U_FAILURE(status)) fatalError(std::string("cannot format a measurement: ") + u_errorName(status));
  return result;
}

}  // namespace platform
