#include "Platform/Foundation/DateFormatter.hpp"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

#include <cmath>
#include <utility>

#include "Platform/Foundation/Calendar.hpp"
#include "Platform/Foundation/FatalError.hpp"
#include "Platform/Foundation/Region.hpp"

namespace platform {

namespace {

icu::Locale localeOf(const DateFormatter::Options& options) {
  return Region::makeIcuLocale(options.localeId ? *options.localeId : Region::currentTimeLocaleId());
}

icu::DateFormat::EStyle icuStyle(DateFormatter::Style style) {
  switch (style) {
    case DateFormatter::Style::none: return icu::DateFormat::kNone;
    case DateFormatter::Style::shortStyle: return icu::DateFormat::kShort;
    case DateFormatter::Style::mediumStyle: return icu::DateFormat::kMedium;
  }
  return icu::DateFormat::kNone;
}

icu::UnicodeString unicode(std::string_view text) {
  return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

std::unique_ptr<icu::DateFormat> patternFormat(std::string_view pattern,
                                               const DateFormatter::Options& options) {
  UErrorCode status = U_ZERO_ERROR;
  auto format = std::make_unique<icu::SimpleDateFormat>(unicode(pattern), localeOf(options), status);
  if (U_FAILURE(status)) fatalError(std::string("cannot create a date format: ") + u_errorName(status));
  return format;
}

std::unique_ptr<icu::DateFormat> styleFormat(DateFormatter::Style dateStyle, DateFormatter::Style timeStyle,
                                             const DateFormatter::Options& options) {
  std::unique_ptr<icu::DateFormat> format(
      icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle), icuStyle(timeStyle), localeOf(options)));
  if (format == nullptr) fatalError("cannot create a date format for these styles");
  return format;
}

}  // namespace

DateFormatter::DateFormatter(std::unique_ptr<icu::DateFormat> format, const Options& options)
    : format_(std::move(format)) {
  if (options.calendar) format_->setCalendar(options.calendar->icuCalendar());
  format_->adoptTimeZone(
      Region::makeIcuTimeZone(options.timeZoneId ? *options.timeZoneId : Region::currentTimeZoneId())
          .release());
  format_->setLenient(false);
}

DateFormatter::DateFormatter(std::string_view pattern, const Options& options)
    : DateFormatter(patternFormat(pattern, options), options) {}

DateFormatter::DateFormatter(Style dateStyle, Style timeStyle, const Options& options)
    : DateFormatter(styleFormat(dateStyle, timeStyle, options), options) {}

DateFormatter::DateFormatter(DateFormatter&&) noexcept = default;
DateFormatter& DateFormatter::operator=(DateFormatter&&) noexcept = default;
DateFormatter::~DateFormatter() = default;

std::string DateFormatter::string(double timestamp) const {
  if (!std::isfinite(timestamp)) return "-";
  icu::UnicodeString text;
  format_->format(timestamp * 1000.0, text);
  std::string result;
  text.toUTF8String(result);
  return result;
}

std::optional<double> DateFormatter::parse(std::string_view text) const {
  const icu::UnicodeString source = unicode(text);
  icu::ParsePosition position(0);
  const UDate parsed = format_->parse(source, position);
  if (position.getErrorIndex() >= 0 || position.getIndex() != source.length()) return std::nullopt;
  return parsed / 1000.0;
}

std::string DateFormatter::patternFromTemplate(std::string_view skeleton, std::string_view localeId) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Locale locale =
      Region::makeIcuLocale(localeId.empty() ? Region::currentTimeLocaleId() : localeId);
  std::unique_ptr<icu::DateTimePatternGenerator> generator(
      icu::DateTimePatternGenerator::createInstance(locale, status));
  icu::UnicodeString pattern;
  if (U_SUCCESS(status)) pattern = generator->getBestPattern(unicode(skeleton), status);
  if (U_FAILURE(status)) fatalError(std::string("cannot create a date pattern: ") + u_errorName(status));
  std::string result;
  pattern.toUTF8String(result);
  return result;
}

}  // namespace platform
