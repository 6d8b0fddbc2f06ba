#pragma once

#include "Bexlan/AnyCodingProtocols.hpp"

namespace Bexlan {

// A value that decodes whatever a JSON value holds and encodes whatever it wraps (see
// AnyCodingProtocols.hpp for the kinds).
class AnyCodable final : public AnyEncodableProtocol, public AnyDecodableProtocol {
 public:
  // From any value or literal: nullptr, std::nullopt or an empty std::any give the empty value, an int an
  // int64_t, a C text a std::string.
  template <class T>
  requires(!std::same_as<std::remove_cvref_t<T>, AnyCodable>) AnyCodable(T&& value)
      : value_(AnyCoding::box(std::forward<T>(value))) {}

  // Array and dictionary literals; a key given twice keeps its first value.
  static AnyCodable array(std::initializer_list<AnyCodable> elements) {
    return AnyCodable(AnyCoding::arrayLiteral(elements));
  }
  static AnyCodable dictionary(std::initializer_list<std::pair<std::string, AnyCodable>> entries) {
    return AnyCodable(AnyCoding::dictionaryLiteral(entries));
  }

  // Throws DecodingError.
  static AnyCodable decode(const nlohmann::json& json) { return AnyCodable(AnyCoding::decode(json)); }

  const std::any& value() const override { return value_; }

 private:
  std::any value_;
};

}  // namespace Bexlan
