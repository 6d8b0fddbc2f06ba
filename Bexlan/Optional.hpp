#pragma once

#include <memory>
#include <optional>

namespace Bexlan::Optional {

// True when the optional value or object reference holds something.
template <class T>
bool hasValue(const std::optional<T>& value) {
  return value.has_value();
}
template <class T>
bool hasValue(const std::shared_ptr<T>& reference) {
  return reference != nullptr;
}

}  // namespace Bexlan::Optional
