#pragma once

#include "Bexlan/AnyCodingProtocols.hpp"

namespace Bexlan {

// A value decoded from whatever a JSON value holds (see AnyCodingProtocols.hpp for the kinds).
class AnyDecodable final : public AnyDecodableProtocol {
 public:
  // From any value; an absent one (std::nullopt, nullptr, an empty std::any) gives the empty value.
  template <class T>
  requires(!std::same_as<std::remove_cvref_t<T>, AnyDecodable>) AnyDecodable(T&& value)
      : value_(AnyCoding::box(std::forward<T>(value))) {}

  // Throws DecodingError.
  static AnyDecodable decode(const nlohmann::json& json) { return AnyDecodable(AnyCoding::decode(json)); }

  const std::any& value() const override { return value_; }

 private:
  std::any value_;
};

}  // namespace Bexlan
