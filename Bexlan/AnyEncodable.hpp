#pragma once

#include "Bexlan/AnyCodingProtocols.hpp"

namespace Bexlan {

// A value that encodes whatever it wraps (see AnyCodingProtocols.hpp for the kinds).
class AnyEncodable final : public AnyEncodableProtocol {
 public:
  // From any value or literal: nullptr, std::nullopt or an empty std::any give the empty value, an int an
  // int64_t, a C text a std::string.
  template <class T>
  requires(!std::same_as<std::remove_cvref_t<T>, AnyEncodable>) AnyEncodable(T&& value)
      : value_(AnyCoding::box(std::forward<T>(value))) {}

  // Array and dictionary literals; a key given twice keeps its first value.
  static AnyEncodable array(std::initializer_list<AnyEncodable> elements) {
    return AnyEncodable(AnyCoding::arrayLiteral(elements));
  }
  static AnyEncodable dictionary(std::initializer_list<std::pair<std::string, AnyEncodable>> entries) {
    return AnyEncodable(AnyCoding::dictionaryLiteral(entries));
  }

  const std::any& value() const override { return value_; }

 private:
  std::any value_;
};

}  // namespace Bexlan
