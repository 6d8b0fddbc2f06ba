#include "Platform/Foundation/FloatText.hpp"

#include <locale.h>
#include <stdlib.h>

#include <string>

#include "Platform/Foundation/FatalError.hpp"

namespace platform {

namespace {

locale_t cLocale() {
  static const locale_t locale = [] {
    const locale_t made = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (made == static_cast<locale_t>(nullptr)) {
      fatalError("cannot make the C locale");
    }
    return made;
  }();
  return locale;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

}  // namespace

std::optional<float> parseFloatC(std::string_view text) {
  // strtof would skip leading white space itself.
  if (text.empty() || isBlank(text.front())) {
    return std::nullopt;
  }
  const std::string terminated(text);
  char* end = nullptr;
  const float value = strtof_l(terminated.c_str(), &end, cLocale());
  if (end != terminated.c_str() + terminated.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace platform
