#pragma once

#include <unicode/uversion.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

U_NAMESPACE_BEGIN
class DateFormat;
U_NAMESPACE_END

namespace platform {

class Calendar;

// Where a date formatter deviates from the region.
struct DateFormatterOptions {
  // Empty: the region's date locale (Region::currentTimeLocaleId()) and time zone.
  std::optional<std::string> localeId{};
  std::optional<std::string> timeZoneId{};
  // Empty: the locale's default calendar. The calendar's own zone is replaced by the formatter's.
  std::shared_ptr<const Calendar> calendar{};
};

// Date texts and strict parsing through ICU, in the region's date locale and time zone unless the options
// name others. A formatter is for one thread at a time; make one per call.
class DateFormatter {
 public:
  enum class Style { none, shortStyle, mediumStyle };

  using Options = DateFormatterOptions;

  // A formatter with an ICU date pattern ("yyyy-MM-dd", "EEEE", "LLL"...).
  explicit DateFormatter(std::string_view pattern, const Options& options = {});
  // A formatter with the locale's date and time styles; none leaves that part out.
  DateFormatter(Style dateStyle, Style timeStyle, const Options& options = {});
  DateFormatter(DateFormatter&&) noexcept;
  DateFormatter& operator=(DateFormatter&&) noexcept;
  ~DateFormatter();

  // The text of a timestamp; "-" when it is not finite.
  std::string string(double timestamp) const;
  // The timestamp a text names when the whole text matches the pattern strictly (no lenient guessing, no
  // trailing characters); nullopt otherwise.
  std::optional<double> parse(std::string_view text) const;

  // The locale's own pattern for a template of pattern fields ("MMMM" -> "LLLL" in English, "M月" in
  // Japanese), by ICU's pattern generator. An empty locale id is the region's date locale.
  static std::string patternFromTemplate(std::string_view skeleton, std::string_view localeId = {});

 private:
  explicit DateFormatter(std::unique_ptr<icu::DateFormat> format, const Options& options);

  std::unique_ptr<icu::DateFormat> format_;
};

}  // namespace platform
