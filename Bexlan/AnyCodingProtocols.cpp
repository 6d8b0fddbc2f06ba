#include "Bexlan/AnyCodingProtocols.hpp"

#include <charconv>
#include <cmath>
#include <limits>

#include "Bexlan/Date.hpp"
#include "Platform/Foundation/Number.hpp"
#include "Platform/Foundation/Url.hpp"

namespace Bexlan::AnyCoding {

namespace {

using nlohmann::json;

// 2001-01-01 00:00 UTC in seconds since 1970: the reference date of encoded dates.
constexpr double referenceDate = 978307200;
// The deepest nesting of arrays and objects that decodes; deeper input would exhaust the stack of the
// recursive walk, so it fails like any other value that cannot be decoded.
constexpr std::size_t deepestNesting = 512;

CodingPath with(const CodingPath& path, std::string key) {
  CodingPath longer = path;
  longer.push_back(std::move(key));
  return longer;
}

std::string indexKey(std::size_t index) { return "Index " + std::to_string(index); }

std::any decodeAt(const json& value, const CodingPath& path) {
  if (value.is_structured() && path.size() >= deepestNesting) {
    throw DecodingError(path, "AnyDecodable value cannot be decoded");
  }
  switch (value.type()) {
    case json::value_t::null: return Null{};
    case json::value_t::boolean: return value.get<bool>();
    case json::value_t::number_integer: return value.get<std::int64_t>();
    case json::value_t::number_unsigned: {
      const auto number = value.get<std::uint64_t>();
      if (number <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        return static_cast<std::int64_t>(number);
      }
      return number;
    }
    case json::value_t::number_float: return value.get<double>();
    case json::value_t::string: return value.get<std::string>();
    case json::value_t::array: {
      AnyArray elements;
      elements.reserve(value.size());
      for (std::size_t i = 0; i < value.size(); ++i)
        elements.push_back(decodeAt(value[i], with(path, indexKey(i))));
      return elements;
    }
    case json::value_t::object: {
      AnyDictionary members;
      for (const auto& [key, member] : value.items()) members.emplace(key, decodeAt(member, with(path, key)));
      return members;
    }
    default: throw DecodingError(path, "AnyDecodable value cannot be decoded");
  }
}

json finite(double number, const std::any& value, const CodingPath& path) {
  if (!std::isfinite(number)) {
    throw EncodingError(value, path, "A number that is not finite cannot be encoded in JSON");
  }
  return number;
}

// A float as the double with its shortest decimal text, so that 0.1f encodes as 0.1. The text is read
// back by from_chars, which, unlike strtod, ignores the C library's locale.
json encodeFloat(float number, const std::any& value, const CodingPath& path) {
  if (!std::isfinite(number)) return finite(number, value, path);
  char text[32];
  const char* const end = std::to_chars(text, text + sizeof text, number).ptr;
  double widened = 0;
  std::from_chars(text, end, widened);
  return widened;
}

json encodeNumber(const platform::Number& number, const std::any& value, const CodingPath& path) {
  using Type = platform::Number::Type;
  switch (number.type()) {
    case Type::Bool: return number.boolValue();
    case Type::Int8:
    case Type::Int16:
    case Type::Int32:
    case Type::Int64: return number.longLongValue();
    case Type::UInt8:
    case Type::UInt16:
    case Type::UInt32:
    case Type::UInt64: return number.unsignedLongLongValue();
    case Type::Float: return encodeFloat(number.floatValue(), value, path);
    case Type::Double: return finite(number.doubleValue(), value, path);
  }
  throw EncodingError(value, path, "NSNumber cannot be encoded because its type is not handled");
}

template <class... Types>
std::optional<json> encodeInteger(const std::any& value) {
  std::optional<json> encoded;
  const auto attempt = [&]<class T>() {
    if (const T* integer = std::any_cast<T>(&value); integer && !encoded) encoded = *integer;
  };
  (attempt.template operator()<Types>(), ...);
  return encoded;
}

json encodeAt(const std::any& value, const CodingPath& path) {
  if (const auto* number = std::any_cast<platform::Number>(&value)) return encodeNumber(*number, value, path);
  if (!value.has_value() || std::any_cast<Null>(&value) || std::any_cast<Empty>(&value)) return nullptr;
  if (const auto* boolean = std::any_cast<bool>(&value)) return *boolean;
  if (std::optional<json> integer =
          encodeInteger<std::int64_t, long long, std::int8_t, std::int16_t, std::int32_t, std::uint64_t,
                        unsigned long long, std::uint8_t, std::uint16_t, std::uint32_t>(value)) {
    return *integer;
  }
  if (const auto* single = std::any_cast<float>(&value)) return encodeFloat(*single, value, path);
  if (const auto* number = std::any_cast<double>(&value)) return finite(*number, value, path);
  if (const auto* text = std::any_cast<std::string>(&value)) return *text;
  if (const auto* date = std::any_cast<Date>(&value)) return date->timestamp - referenceDate;
  if (const auto* url = std::any_cast<platform::Url>(&value)) return url->absoluteString();
  if (const auto* elements = std::any_cast<AnyArray>(&value)) {
    json array = json::array();
    for (std::size_t i = 0; i < elements->size(); ++i)
      array.push_back(encodeAt((*elements)[i], with(path, indexKey(i))));
    return array;
  }
  if (const auto* members = std::any_cast<AnyDictionary>(&value)) {
    json object = json::object();
    for (const auto& [key, member] : *members) object[key] = encodeAt(member, with(path, key));
    return object;
  }
  throw EncodingError(value, path, "AnyEncodable value cannot be encoded");
}

}  // namespace

std::any decode(const json& value) { return decodeAt(value, {}); }

json encode(const std::any& value) { return encodeAt(value, {}); }

}  // namespace Bexlan::AnyCoding
