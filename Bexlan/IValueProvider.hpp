#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>

#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The number types a value can be set from: the signed and unsigned integers, float and double. bool and
// the character types are left out, so a flag or a character never becomes a number by accident.
template <class T>
concept ValueSource = platform::NumberSource<T> && !std::same_as<T, bool>;

// Something that holds one current number, or none, and shows it as text.
//
// Every setter stores a number of its own argument's type, so the type is kept for later readers (its
// type code): setInt(5) stores a 64-bit integer, set(5) an int, set(std::int8_t{5}) an 8-bit integer.
// The named setters fix the type whatever the argument; `set` takes the argument's exact type (long long
// counts as 64-bit). The forms that take an optional make the number absent when given none. All of them
// go through setNumber, the one operation a conforming class implements.
class IValueProvider {
 public:
  virtual ~IValueProvider() = default;

  // The display text of the current number.
  virtual std::string description() const = 0;
  // The current number, absent until one is set and after an absent value is set.
  virtual std::optional<platform::Number> rawValue() const = 0;
  // Makes `number` the current number, keeping its type; nullopt makes the current number absent.
  virtual void setNumber(std::optional<platform::Number> number) = 0;

  template <ValueSource T>
  void set(T value) {
    setNumber(platform::Number::of(value));
  }
  template <ValueSource T>
  void set(std::optional<T> value) {
    setNumber(value ? std::optional(platform::Number::of(*value)) : std::nullopt);
  }

  void setInt(std::int64_t value) { set(value); }
  void setOptionalInt(std::optional<std::int64_t> value) { set(value); }
  void setInt8(std::int8_t value) { set(value); }
  void setOptionalInt8(std::optional<std::int8_t> value) { set(value); }
  void setInt16(std::int16_t value) { set(value); }
  void setOptionalInt16(std::optional<std::int16_t> value) { set(value); }
  void setInt32(std::int32_t value) { set(value); }
  void setOptionalInt32(std::optional<std::int32_t> value) { set(value); }
  void setInt64(std::int64_t value) { set(value); }
  void setOptionalInt64(std::optional<std::int64_t> value) { set(value); }
  void setUInt(std::uint64_t value) { set(value); }
  void setOptionalUInt(std::optional<std::uint64_t> value) { set(value); }
  void setUInt8(std::uint8_t value) { set(value); }
  void setOptionalUInt8(std::optional<std::uint8_t> value) { set(value); }
  void setUInt16(std::uint16_t value) { set(value); }
  void setOptionalUInt16(std::optional<std::uint16_t> value) { set(value); }
  void setUInt32(std::uint32_t value) { set(value); }
  void setOptionalUInt32(std::optional<std::uint32_t> value) { set(value); }
  void setUInt64(std::uint64_t value) { set(value); }
  void setOptionalUInt64(std::optional<std::uint64_t> value) { set(value); }
  void setFloat(float value) { set(value); }
  void setOptionalFloat(std::optional<float> value) { set(value); }
  void setDouble(double value) { set(value); }
  void setOptionalDouble(std::optional<double> value) { set(value); }
};

}  // namespace Bexlan
