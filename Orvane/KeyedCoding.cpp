#include "Orvane/KeyedCoding.hpp"

#include <cctype>
#include <cmath>
#include <limits>

namespace Orvane::KeyedCoding {

namespace {

[[noreturn]] void mistyped(const std::string& key, const char* expected) {
  throw DecodingError("key \"" + key + "\" does not hold " + expected);
}

bool isUuid(const std::string& text) {
  if (text.size() != 36) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    bool hyphen = i == 8 || i == 13 || i == 18 || i == 23;
    if (hyphen ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
  }
  return true;
}

}  // namespace

const Object& member(const Object& object, const std::string& key) {
  if (!object.is_object()) throw DecodingError("expected an object holding key \"" + key + "\"");
  auto found = object.find(key);
  if (found == object.end()) throw DecodingError("missing key \"" + key + "\"");
  return *found;
}

std::int32_t decodeInt32(const Object& object, const std::string& key) {
  const Object& value = member(object, key);
  if (value.is_number_unsigned()) {
    auto number = value.get<std::uint64_t>();
    if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) {
      return static_cast<std::int32_t>(number);
    }
  } else if (value.is_number_integer()) {
    auto number = value.get<std::int64_t>();
    if (number >= std::numeric_limits<std::int32_t>::min() &&
        number <= std::numeric_limits<std::int32_t>::max()) {
      return static_cast<std::int32_t>(number);
    }
  }
  mistyped(key, "a signed 32-bit integer");
}

std::uint64_t decodeUInt64(const Object& object, const std::string& key) {
  const Object& value = member(object, key);
  if (value.is_number_unsigned()) return value.get<std::uint64_t>();
  if (value.is_number_integer() && value.get<std::int64_t>() >= 0) {
    return static_cast<std::uint64_t>(value.get<std::int64_t>());
  }
  mistyped(key, "an unsigned 64-bit integer");
}

double decodeDouble(const Object& object, const std::string& key) {
  const Object& value = member(object, key);
  if (!value.is_number()) mistyped(key, "a number");
  return value.get<double>();
}

float decodeFloat(const Object& object, const std::string& key) {
  double number = decodeDouble(object, key);
  if (std::fabs(number) > std::numeric_limits<float>::max()) mistyped(key, "a single-precision number");
  return static_cast<float>(number);
}

std::string decodeString(const Object& object, const std::string& key) {
  const Object& value = member(object, key);
  if (!value.is_string()) mistyped(key, "a text");
  return value.get<std::string>();
}

std::string decodeUuid(const Object& object, const std::string& key) {
  std::string text = decodeString(object, key);
  if (!isUuid(text)) mistyped(key, "a UUID");
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

double encodableNumber(double value) noexcept { return std::isfinite(value) ? value : 0.0; }

}  // namespace Orvane::KeyedCoding
