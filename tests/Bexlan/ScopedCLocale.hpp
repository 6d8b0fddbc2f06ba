#pragma once

#include <locale.h>

#include <clocale>
#include <string>

// Switches the process (setlocale) and this thread (uselocale) to a C locale, and restores both. A locale
// that is not installed switches nothing: installed() is false.
class ScopedCLocale {
 public:
  explicit ScopedCLocale(const char* name)
      : processPrevious_(std::setlocale(LC_ALL, nullptr)), locale_(newlocale(LC_ALL_MASK, name, locale_t{})) {
    if (!installed()) return;
    std::setlocale(LC_ALL, name);
    threadPrevious_ = uselocale(locale_);
  }
  ~ScopedCLocale() {
    if (!installed()) return;
    uselocale(threadPrevious_);
    freelocale(locale_);
    std::setlocale(LC_ALL, processPrevious_.c_str());
  }
  ScopedCLocale(const ScopedCLocale&) = delete;
  ScopedCLocale& operator=(const ScopedCLocale&) = delete;

  bool installed() const { return locale_ != locale_t{}; }

 private:
  std::string processPrevious_;
  locale_t locale_;
  locale_t threadPrevious_{};
};
