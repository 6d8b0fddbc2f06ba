#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>

#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// Read access by key, answered by every store, provider and container.
class InfoProvider {
 public:
  virtual ~InfoProvider() = default;

  // The number behind the key, absent when there is none.
  virtual std::optional<platform::Number> value(const std::string& key) const = 0;
  // The display text of the key, "-" when it holds nothing to show.
  virtual std::string string(const std::string& key) const = 0;
};

// Reads a number as T with the accessor of T's type: charValue for int8_t, unsignedIntValue for uint32_t,
// longLongValue for int64_t, floatValue for float, and so on.
template <class T>
T numberAs(const platform::Number& number) noexcept {
  if constexpr (std::same_as<T, std::int8_t>) {
    return number.charValue();
  } else if constexpr (std::same_as<T, std::uint8_t>) {
    return number.unsignedCharValue();
  } else if constexpr (std::same_as<T, std::int16_t>) {
    return number.shortValue();
  } else if constexpr (std::same_as<T, std::uint16_t>) {
    return number.unsignedShortValue();
  } else if constexpr (std::same_as<T, std::int32_t>) {
    return number.intValue();
  } else if constexpr (std::same_as<T, std::uint32_t>) {
    return number.unsignedIntValue();
  } else if constexpr (std::same_as<T, std::int64_t>) {
    return number.longLongValue();
  } else if constexpr (std::same_as<T, std::uint64_t>) {
    return number.unsignedLongLongValue();
  } else if constexpr (std::same_as<T, float>) {
    return number.floatValue();
  } else {
    static_assert(std::same_as<T, double>, "numberAs: not a number type of the store");
    return number.doubleValue();
  }
}

// The twelve typed number lookups of a provider of `value` (Provider, which derives from this class): each
// reads the key's number with one accessor and gives 0 when the number is absent. intValue and uIntValue
// are 64 bits wide; int32Value and uInt32Value are the 32-bit ones.
template <class Provider>
class TypedValueLookups {
 public:
  std::int64_t intValue(const std::string& key) const { return read<std::int64_t>(key); }
  std::uint64_t uIntValue(const std::string& key) const { return read<std::uint64_t>(key); }
  std::int8_t int8Value(const std::string& key) const { return read<std::int8_t>(key); }
  std::uint8_t uInt8Value(const std::string& key) const { return read<std::uint8_t>(key); }
  std::int16_t int16Value(const std::string& key) const { return read<std::int16_t>(key); }
  std::uint16_t uInt16Value(const std::string& key) const { return read<std::uint16_t>(key); }
  std::int32_t int32Value(const std::string& key) const { return read<std::int32_t>(key); }
  std::uint32_t uInt32Value(const std::string& key) const { return read<std::uint32_t>(key); }
  std::int64_t int64Value(const std::string& key) const { return read<std::int64_t>(key); }
  std::uint64_t uInt64Value(const std::string& key) const { return read<std::uint64_t>(key); }
  float floatValue(const std::string& key) const { return read<float>(key); }
  double doubleValue(const std::string& key) const { return read<double>(key); }

 protected:
  ~TypedValueLookups() = default;

 private:
  template <class T>
  T read(const std::string& key) const {
    const auto number = static_cast<const Provider&>(*this).value(key);
    return number ? numberAs<T>(*number) : T{0};
  }
};

}  // namespace Bexlan
