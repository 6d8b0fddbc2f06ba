#pragma once

#include <compare>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <type_traits>

#include "Platform/Foundation/SaturatingCast.hpp"

namespace platform {

// The arithmetic types a Number can be made from: bool, the signed and unsigned integers and float and
// double. Character types and long double are left out on purpose.
template <class T>
concept NumberSource = std::same_as<T, bool> || std::same_as<T, float> || std::same_as<T, double> ||
    (std::is_integral_v<T> && !std::same_as<T, char> && !std::same_as<T, wchar_t> &&
     !std::same_as<T, char8_t> && !std::same_as<T, char16_t> && !std::same_as<T, char32_t>);

// An immutable boxed number that keeps the type it was made from and reads back as any numeric type.
//
// Every accessor is defined for every stored value:
// - integer to integer is modular (300 reads as charValue 44, -1 as unsignedLongLongValue 2^64-1);
// - integer to floating rounds to nearest;
// - floating to a 64-bit signed integer: NaN gives 0, otherwise truncation toward zero, saturated at the
//   limits (infinities included);
// - floating to uint64: NaN gives 0; values from 2^63 convert directly (2^64 and above give the maximum);
//   below 2^63 the signed rule applies and the result wraps, so -1.0 reads like the integer -1;
// - floating to a narrower integer: the signed 64-bit rule first, then modular narrowing;
// - double to float rounds to nearest; values beyond float's range become infinities.
//
// Comparison is by numeric value across types and exact: Number::of(1) == Number::of(1.0) ==
// Number::of(true), and 2^53 + 1 as an integer is greater than the double 2^53. A NaN is unordered
// against everything and equal to nothing, itself included, exactly as double behaves. Equal numbers have
// equal hashes.
class Number {
 public:
  enum class Type : std::uint8_t {
    Bool,
    Int8,
    UInt8,
    Int16,
    UInt16,
    Int32,
    UInt32,
    Int64,
    UInt64,
    Float,
    Double
  };

  // Makes a number of T's type; long and long long both make Int64 (unsigned alike).
  template <NumberSource T>
  static constexpr Number of(T value) noexcept {
    if constexpr (std::same_as<T, bool>) {
      return Number(Type::Bool, Storage{.u = value ? 1u : 0u});
    } else if constexpr (std::is_floating_point_v<T>) {
      return Number(std::same_as<T, float> ? Type::Float : Type::Double, Storage{.d = value});
    } else if constexpr (std::is_signed_v<T>) {
      return Number(integerType(sizeof(T), true), Storage{.i = value});
    } else {
      return Number(integerType(sizeof(T), false), Storage{.u = value});
    }
  }

  constexpr Type type() const noexcept { return type_; }
  // The one-letter code of the stored type: 'c' for Bool and Int8, then 'C', 's', 'S', 'i', 'I', 'q',
  // 'Q', 'f', 'd'.
  char typeCode() const noexcept;

  // True when the value is not zero; a NaN is not zero and reads as true.
  constexpr bool boolValue() const noexcept { return isFloating() ? storage_.d != 0.0 : integerBits() != 0; }
  constexpr std::int8_t charValue() const noexcept { return integerAs<std::int8_t>(); }
  constexpr std::uint8_t unsignedCharValue() const noexcept { return integerAs<std::uint8_t>(); }
  constexpr std::int16_t shortValue() const noexcept { return integerAs<std::int16_t>(); }
  constexpr std::uint16_t unsignedShortValue() const noexcept { return integerAs<std::uint16_t>(); }
  constexpr std::int32_t intValue() const noexcept { return integerAs<std::int32_t>(); }
  constexpr std::uint32_t unsignedIntValue() const noexcept { return integerAs<std::uint32_t>(); }
  constexpr std::int64_t longLongValue() const noexcept { return integerAs<std::int64_t>(); }
  constexpr std::uint64_t unsignedLongLongValue() const noexcept { return integerAs<std::uint64_t>(); }
  constexpr std::int64_t integerValue() const noexcept { return integerAs<std::int64_t>(); }
  constexpr std::uint64_t unsignedIntegerValue() const noexcept { return integerAs<std::uint64_t>(); }
  constexpr float floatValue() const noexcept;
  constexpr double doubleValue() const noexcept;

  // Integers in decimal, Bool as "1" or "0", Float and Double as their shortest round-trip text without a
  // trailing ".0" (0.5 -> "0.5", 1.0 -> "1", 1e16 -> "1e+16", "nan", "inf", "-inf").
  std::string description() const;

  friend bool operator==(const Number& a, const Number& b) noexcept;
  friend std::partial_ordering operator<=>(const Number& a, const Number& b) noexcept;

 private:
  // Signed integers are kept sign-extended in i, Bool and unsigned integers zero-extended in u, Float and
  // Double in d (a float widens to double exactly).
  union Storage {
    std::int64_t i;
    std::uint64_t u;
    double d;
  };

  constexpr Number(Type type, Storage storage) noexcept : storage_(storage), type_(type) {}

  static constexpr Type integerType(std::size_t size, bool isSigned) noexcept {
    switch (size) {
      case 1: return isSigned ? Type::Int8 : Type::UInt8;
      case 2: return isSigned ? Type::Int16 : Type::UInt16;
      case 4: return isSigned ? Type::Int32 : Type::UInt32;
      default: return isSigned ? Type::Int64 : Type::UInt64;
    }
  }

  constexpr bool isFloating() const noexcept { return type_ == Type::Float || type_ == Type::Double; }
  constexpr bool isSigned() const noexcept {
    return type_ == Type::Int8 || type_ == Type::Int16 || type_ == Type::Int32 || type_ == Type::Int64;
  }
  // The two's complement bits of an integer value (only for integer types).
  constexpr std::uint64_t integerBits() const noexcept {
    return isSigned() ? static_cast<std::uint64_t>(storage_.i) : storage_.u;
  }

  // Below 2^63 a double reads as uint64 through int64, so negative values wrap like negative integers.
  static constexpr std::uint64_t wrappingUInt64(double d) noexcept {
    return d >= 0x1p63 ? saturatingCast<std::uint64_t>(d)
                       : static_cast<std::uint64_t>(saturatingCast<std::int64_t>(d));
  }

  template <class Target>
  constexpr Target integerAs() const noexcept {
    if (isFloating()) {
      if constexpr (std::same_as<Target, std::uint64_t>) {
        return wrappingUInt64(storage_.d);
      } else {
        return static_cast<Target>(saturatingCast<std::int64_t>(storage_.d));
      }
    }
    return static_cast<Target>(integerBits());
  }

  Storage storage_;
  Type type_;
};

constexpr double Number::doubleValue() const noexcept {
  if (isFloating()) return storage_.d;
  return isSigned() ? static_cast<double>(storage_.i) : static_cast<double>(storage_.u);
}

constexpr float Number::floatValue() const noexcept {
  if (!isFloating()) {
    return isSigned() ? static_cast<float>(storage_.i) : static_cast<float>(storage_.u);
  }
  // Converting a double outside float's range is undefined in C++, so the overflow is spelled out: values
  // up to the midpoint between the largest float and 2^128 round down to the largest float, the midpoint
  // and beyond round (to even) to infinity.
  constexpr float largest = std::numeric_limits<float>::max();
  constexpr float infinity = std::numeric_limits<float>::infinity();
  constexpr double midpoint = 0x1.ffffffp127;
  const double d = storage_.d;
  if (d > largest) return d >= midpoint ? infinity : largest;
  if (d < -largest) return d <= -midpoint ? -infinity : -largest;
  return static_cast<float>(d);
}

static_assert(sizeof(Number) == 16);

}  // namespace platform

template <>
struct std::hash<platform::Number> {
  std::size_t operator()(const platform::Number& number) const noexcept;
};
