#pragma once

#include <any>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "Bexlan/CodingError.hpp"

// Type-erased values for JSON coding: what AnyDecodable, AnyEncodable and AnyCodable hold in `value()`.
//
// Decoded values: Null for null, bool, int64_t (integers that fit it), uint64_t (larger ones), double
// (numbers with a fraction or exponent), std::string, AnyArray and AnyDictionary of plain values.
// Encodable values, tested in this order: platform::Number (by its type: only Bool becomes a Boolean, the
// 8-bit integers are integers), Null and the empty value (null), bool, every signed and unsigned integer
// type, float, double, std::string, a Bexlan::Date (seconds since 2001-01-01 00:00 UTC), a platform::Url (its
// absolute text) and AnyArray and AnyDictionary, whose empty elements are absent values (null). Anything
// else cannot be encoded.
namespace Bexlan {

// The null object: what JSON null decodes to.
struct Null {
  friend bool operator==(Null, Null) = default;
};
// The empty value that stands for an absent one; a coding value never holds an empty std::any.
using Empty = std::tuple<>;
using AnyArray = std::vector<std::any>;
using AnyDictionary = std::map<std::string, std::any>;

namespace AnyCoding {

template <class T>
inline constexpr bool isOptional = false;
template <class T>
inline constexpr bool isOptional<std::optional<T>> = true;

// What a coding value made from `value` holds: an absent value (an empty std::any, std::nullopt, nullptr)
// becomes Empty, a present optional its value, an int (as integer literals are) an int64_t, a C text a
// std::string; anything else is kept as it is.
template <class T>
std::any box(T&& value) {
  using Plain = std::remove_cvref_t<T>;
  if constexpr (std::same_as<Plain, std::any>) {
    return value.has_value() ? std::any(std::forward<T>(value)) : std::any(Empty{});
  } else if constexpr (std::same_as<Plain, std::nullptr_t> || std::same_as<Plain, std::nullopt_t>) {
    return Empty{};
  } else if constexpr (isOptional<Plain>) {
    return value.has_value() ? box(*std::forward<T>(value)) : std::any(Empty{});
  } else if constexpr (std::same_as<Plain, int>) {
    return static_cast<std::int64_t>(value);
  } else if constexpr (std::is_convertible_v<T, const char*>) {
    return std::string(value);
  } else {
    return std::any(std::forward<T>(value));
  }
}

// The values of the coding values of an array literal, and of a dictionary literal (where a key given
// twice keeps its first value).
template <class Coding>
AnyArray arrayLiteral(std::initializer_list<Coding> elements) {
  AnyArray values;
  values.reserve(elements.size());
  for (const Coding& element : elements) values.push_back(element.value());
  return values;
}
template <class Coding>
AnyDictionary dictionaryLiteral(std::initializer_list<std::pair<std::string, Coding>> entries) {
  AnyDictionary values;
  for (const auto& [key, element] : entries) values.try_emplace(key, element.value());
  return values;
}

// The plain value of a JSON value; throws DecodingError("AnyDecodable value cannot be decoded") for
// what JSON text cannot hold (binary values, discarded values) and for arrays and objects nested more than
// 512 deep.
std::any decode(const nlohmann::json& json);
// The JSON value of a plain value; throws EncodingError for a value it cannot encode (a non-finite number
// too, which JSON cannot hold).
nlohmann::json encode(const std::any& value);

}  // namespace AnyCoding

// The role of a value that encodes whatever it wraps. Implementations are made from any value or optional.
class AnyEncodableProtocol {
 public:
  virtual ~AnyEncodableProtocol() = default;
  virtual const std::any& value() const = 0;
  // Throws EncodingError.
  nlohmann::json encode() const { return AnyCoding::encode(value()); }
};

// The role of a value that decodes whatever the input holds. Implementations are made from any value or
// optional, and by a static decode(json).
class AnyDecodableProtocol {
 public:
  virtual ~AnyDecodableProtocol() = default;
  virtual const std::any& value() const = 0;
};

}  // namespace Bexlan
