#include "Platform/Foundation/Number.hpp"

#include <bit>
#include <charconv>
#include <cmath>

#include "Platform/Foundation/TextFormat.hpp"

namespace platform {
namespace {

// Orders the integer i against the double d exactly (converting i to double could round it).
std::partial_ordering compareExactly(std::int64_t i, double d) noexcept {
  if (std::isnan(d)) return std::partial_ordering::unordered;
  if (d >= 0x1p63) return std::partial_ordering::less;
  if (d < -0x1p63) return std::partial_ordering::greater;
  const double whole = std::trunc(d);
  const auto wholeInteger = static_cast<std::int64_t>(whole);
  if (i != wholeInteger) return i <=> wholeInteger;
  return whole <=> d;
}

std::partial_ordering compareExactly(std::uint64_t u, double d) noexcept {
  if (std::isnan(d)) return std::partial_ordering::unordered;
  if (d < 0) return std::partial_ordering::greater;
  if (d >= 0x1p64) return std::partial_ordering::less;
  const double whole = std::trunc(d);
  const auto wholeInteger = static_cast<std::uint64_t>(whole);
  if (u != wholeInteger) return u <=> wholeInteger;
  return whole <=> d;
}

template <class Integer>
std::string decimal(Integer value) {
  char buffer[24];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

char Number::typeCode() const noexcept {
  switch (type_) {
    case Type::Bool: return 'c';
    case Type::Int8: return 'c';
    case Type::UInt8: return 'C';
    case Type::Int16: return 's';
    case Type::UInt16: return 'S';
    case Type::Int32: return 'i';
    case Type::UInt32: return 'I';
    case Type::Int64: return 'q';
    case Type::UInt64: return 'Q';
    case Type::Float: return 'f';
    case Type::Double: return 'd';
  }
  return 'd';
}

std::string Number::description() const {
  switch (type_) {
    case Type::Float: return shortestText(static_cast<float>(storage_.d));
    case Type::Double: return shortestText(storage_.d);
    default: return isSigned() ? decimal(storage_.i) : decimal(storage_.u);
  }
}

bool operator==(const Number& a, const Number& b) noexcept { return std::is_eq(a <=> b); }

std::partial_ordering operator<=>(const Number& a, const Number& b) noexcept {
  if (a.isFloating() && b.isFloating()) return a.storage_.d <=> b.storage_.d;
  if (a.isFloating()) return 0 <=> (b <=> a);
  if (b.isFloating()) {
    const double d = b.storage_.d;
    return a.isSigned() ? compareExactly(a.storage_.i, d) : compareExactly(a.storage_.u, d);
  }
  if (a.isSigned() == b.isSigned()) {
    return a.isSigned() ? a.storage_.i <=> b.storage_.i : a.storage_.u <=> b.storage_.u;
  }
  if (a.isSigned()) {
    return a.storage_.i < 0 ? std::strong_ordering::less : a.integerBits() <=> b.storage_.u;
  }
  return b.storage_.i < 0 ? std::strong_ordering::greater : a.storage_.u <=> b.integerBits();
}

}  // namespace platform

// Equal numbers hash alike across types: a whole floating value in the 64-bit integer range hashes as
// that integer, every other integer by its two's complement bits, any other floating value by its bits.
std::size_t std::hash<platform::Number>::operator()(const platform::Number& number) const noexcept {
  const double d = number.doubleValue();
  const bool floating =
      number.type() == platform::Number::Type::Float || number.type() == platform::Number::Type::Double;
  std::uint64_t key = number.unsignedLongLongValue();
  if (floating && !(std::trunc(d) == d && d >= -0x1p63 && d < 0x1p64)) key = std::bit_cast<std::uint64_t>(d);
  return std::hash<std::uint64_t>{}(key);
}
