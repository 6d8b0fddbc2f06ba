#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <typeindex>

#include "Bexlan/AnyCodable.hpp"
#include "Bexlan/AnyDecodable.hpp"
#include "Bexlan/AnyEncodable.hpp"
#include "Bexlan/Date.hpp"
#include "Platform/Foundation/Number.hpp"
#include "Platform/Foundation/Url.hpp"
#include "tests/Bexlan/ScopedCLocale.hpp"

namespace {

using namespace Bexlan;
using nlohmann::json;

TEST(AnyCodingTest, DecodeThenEncodeKeepsTheDocumentAndItsNumberTypes) {
  const std::string document =
      R"({"a":null,"b":true,"c":1,"d":-5,"e":18446744073709551615,"f":1.5,"g":"x","h":[1,[2,{"i":"j"}]],"k":1e2})";
  const AnyCodable decoded = AnyCodable::decode(json::parse(document));
  EXPECT_EQ(decoded.encode().dump(), json::parse(document).dump());
  const auto& members = std::any_cast<const AnyDictionary&>(decoded.value());
  const std::pair<const char*, std::type_index> types[] = {
      {"a", typeid(Null)},         {"b", typeid(bool)},          {"c", typeid(std::int64_t)},
      {"d", typeid(std::int64_t)}, {"e", typeid(std::uint64_t)}, {"f", typeid(double)},
      {"g", typeid(std::string)},  {"h", typeid(AnyArray)},      {"k", typeid(double)}};
  for (const auto& [key, type] : types) EXPECT_EQ(std::type_index(members.at(key).type()), type) << key;
  EXPECT_EQ(
      std::any_cast<std::int64_t>(std::any_cast<const AnyArray&>(AnyDecodable::decode({true, 2}).value())[1]),
      2);
}

TEST(AnyCodingTest, EncodingTable) {
  using platform::Number;
  const Date date(978307200 + 1.5);
  const std::pair<AnyEncodable, std::string> cases[] = {
      {Number::of(true), "true"},
      {Number::of(std::uint8_t{85}), "85"},
      {Number::of(std::int8_t{-1}), "-1"},
      {Number::of(0.5f), "0.5"},
      {Number::of(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
      {std::uint8_t{85}, "85"},
      {0.1f, "0.1"},
      {std::optional<int>(), "null"},
      {nullptr, "null"},
      {std::any(), "null"},
      {std::optional<int>(4), "4"},
      {"text", "\"text\""},
      {date, "1.5"},
      {platform::Url::parse("https://example.com/a?b").value(), R"("https://example.com/a?b")"},
      {AnyArray{1, std::any(), std::string("s")}, "[1,null,\"s\"]"},
      {AnyEncodable::dictionary({{"a", 1}, {"b", AnyEncodable::array({true, 2.5})}, {"a", 2}}),
       R"({"a":1,"b":[true,2.5]})"}};
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.encode().dump(), expected);
  EXPECT_EQ(AnyCodable::dictionary({{"k", "v"}, {"k", "w"}}).encode().dump(), R"({"k":"v"})");
  EXPECT_EQ(AnyCodable(nullptr).encode(), json(nullptr));
  // A program may set a locale whose decimal separator is a comma; the encoded numbers must not change.
  const ScopedCLocale german("de_DE.UTF-8");
  if (!german.installed()) GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed";
  for (const auto& [value, expected] : cases) EXPECT_EQ(value.encode().dump(), expected) << "with de_DE";
}

TEST(AnyCodingTest, ErrorsCarryTheirTextAndCodingPath) {
  json document = json::parse(R"({"h": [0, 1]})");
  document["h"][1] = json::binary({1, 2});
  try {
    AnyCodable::decode(document);
    FAIL() << "decoded a binary value";
  } catch (const DecodingError& error) {
    EXPECT_STREQ(error.what(), "AnyDecodable value cannot be decoded");
    EXPECT_EQ(error.codingPath(), (CodingPath{"h", "Index 1"}));
  }
  struct Opaque {};
  try {
    AnyEncodable(AnyDictionary{{"x", AnyArray{1, Opaque{}}}}).encode();
    FAIL() << "encoded an opaque value";
  } catch (const EncodingError& error) {
    EXPECT_STREQ(error.what(), "AnyEncodable value cannot be encoded");
    EXPECT_EQ(error.codingPath(), (CodingPath{"x", "Index 1"}));
    EXPECT_NE(std::any_cast<Opaque>(&error.value()), nullptr);
  }
  // Hostile nesting fails as a value that cannot be decoded instead of exhausting the stack.
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  EXPECT_THROW(AnyDecodable::decode(json::parse(deep)), DecodingError);
  EXPECT_NO_THROW(AnyDecodable::decode(json::parse(std::string(512, '[') + "1" + std::string(512, ']'))));
  EXPECT_THROW(AnyEncodable(std::nan("")).encode(), EncodingError);
  EXPECT_THROW(AnyEncodable(platform::Number::of(INFINITY)).encode(), EncodingError);
}

}  // namespace
