#pragma once

#include <initializer_list>
#include <optional>
#include <string_view>

namespace Orvane {

// The case among `cases` whose raw text (its `rawValue` overload) is `text`; absent when none is.
template <class Enum>
constexpr std::optional<Enum> caseWithRawValue(std::string_view text, std::initializer_list<Enum> cases) {
  for (Enum value : cases) {
    if (rawValue(value) == text) return value;
  }
  return std::nullopt;
}

}  // namespace Orvane
