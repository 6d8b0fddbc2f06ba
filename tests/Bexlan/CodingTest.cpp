#include <gtest/gtest.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <stdexcept>
#include <tuple>
#include <typeindex>

#include "Bexlan/AnyCodable.hpp"
#include "Bexlan/AnyDecodable.hpp"
#include "Bexlan/AnyEncodable.hpp"
#include "Bexlan/Data.hpp"
#include "Bexlan/Date.hpp"
#include "Platform/Foundation/Number.hpp"
#include "Platform/Foundation/Url.hpp"
#include "tests/Bexlan/ScopedCLocale.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace {

using namespace Bexlan;
using Data::Bytes;
using nlohmann::json;

// 1 B to 1 MiB, across the base64 group and zlib window boundaries.
constexpr std::size_t sizes[] = {1, 2, 3, 4, 57, 1000, 32769, 65537, 1 << 20};

// Random bytes; with `text`, drawn from a few letters so that they compress.
Bytes randomBytes(std::size_t size, unsigned seed, bool text = false) {
  std::mt19937 random(seed);
  Bytes bytes(size);
  for (auto& byte : bytes) byte = text ? "abcde \n"[random() % 7] : static_cast<std::uint8_t>(random());
  return bytes;
}

// The bytes in a file of their own, removed with the object.
struct PayloadFile {
  explicit PayloadFile(const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  Bytes output(const std::string& command) const {
    const std::string text = systemtest::commandOutput(command + " " + path.string());
    return Bytes(text.begin(), text.end());
  }
  const volumetest::TemporaryDirectory directory;
  const std::filesystem::path path = std::filesystem::path(directory.path()) / "payload";
};

Bytes zlibCompressed(const Bytes& payload) {
  uLongf size = compressBound(payload.size());
  Bytes compressed(size);
  EXPECT_EQ(compress2(compressed.data(), &size, payload.data(), payload.size(), 6), Z_OK);
  compressed.resize(size);
  return compressed;
}

TEST(DataReadersTest, TypedReadersAtTheirBoundaries) {
  // bytes, firstByte, uint16Value, uint32Value, bigEndianFloat
  const std::tuple<Bytes, std::uint8_t, std::uint16_t, std::uint32_t, float> cases[] = {
      {{}, 0, 0, 0, 0},
      {{0x34}, 0x34, 0, 0, 0},
      {{0x34, 0x12}, 0x34, 0x1234, 0, 0},
      {{0x3F, 0x80, 0x00}, 0x3F, 0x803F, 0, 0},
      {{0x3F, 0x80, 0, 0, 0xFF}, 0x3F, 0x803F, 0x803F, 1.0f},
      {{0xC0, 0x49, 0x0F, 0xDB}, 0xC0, 0x49C0, 0xDB0F49C0, -3.14159274f}};
  for (const auto& [bytes, first, u16, u32, big] : cases) {
    EXPECT_EQ(std::tuple(Data::firstByte(bytes), Data::uint16Value(bytes), Data::uint32Value(bytes),
                         Data::bigEndianFloat(bytes)),
              std::tuple(first, u16, u32, big));
  }
  const Bytes five{1, 2, 3, 4, 5};
  EXPECT_EQ(Data::to<std::uint32_t>(Bytes{1, 2, 3}), std::nullopt);
  EXPECT_EQ(Data::to<std::uint32_t>(five), 0x04030201u);
  EXPECT_EQ(Data::from(std::uint32_t{0x04030201}), Bytes(five.begin(), five.begin() + 4));
  EXPECT_EQ(Data::to<double>(Data::from(-2.5)), -2.5);
  EXPECT_EQ(Data::byte(five, 4), 5);
  EXPECT_THROW(Data::byte(five, 5), std::out_of_range);
  EXPECT_EQ(std::tuple(Data::isGzipped({0x1F}), Data::isGzipped({0x1F, 0x8B})), std::tuple(false, true));
}

TEST(DataCodecsTest, AgreeWithMd5sumBasencGzipAndZlib) {
  const std::pair<Bytes, std::string> cases[] = {{{}, ""},
                                                 {{0x00}, "AA"},
                                                 {{0x00, 0x00}, "AAA"},
                                                 {{0xFB, 0xFF, 0xBF}, "-_-_"},
                                                 {{'f', 'o', 'o', 'b'}, "Zm9vYg"}};
  for (const auto& [bytes, text] : cases) EXPECT_EQ(Data::base64URLString(bytes), text);
  EXPECT_EQ(Data::md5({}), "d41d8cd98f00b204e9800998ecf8427e");
  for (std::size_t size : sizes) {
    SCOPED_TRACE(size);
    const Bytes payload = randomBytes(size, unsigned(size), size % 2 == 0);
    const PayloadFile file(payload);
    const Bytes sum = file.output("md5sum");
    EXPECT_EQ(Data::md5(payload), std::string(sum.begin(), sum.begin() + 32));
    Bytes reference = file.output("basenc --base64url -w0");
    std::erase(reference, '=');
    EXPECT_EQ(Data::base64URLString(payload), std::string(reference.begin(), reference.end()));
    for (const char* command : {"gzip -c -1", "gzip -c -9"})
      EXPECT_EQ(Data::gunzipped(file.output(command)), payload);
    // Without a file name, the body of a gzip file is a raw DEFLATE stream from another encoder.
    const Bytes gz = file.output("gzip -c -n");
    EXPECT_EQ(Data::inflated(Bytes(gz.begin() + 10, gz.end() - 8)), payload);
    EXPECT_EQ(Data::gunzipped(zlibCompressed(payload)), payload);
    EXPECT_EQ(Data::inflated(Data::deflated(payload).value()), payload);
    EXPECT_EQ(Data::gunzipped(Data::deflated(payload).value()), std::nullopt);
  }
  const PayloadFile first(randomBytes(500, 8)), second(randomBytes(300, 9));
  EXPECT_EQ(Data::gunzipped(second.output("gzip -c " + first.path.string())), randomBytes(500, 8));
  for (auto operation : {&Data::gunzipped, &Data::inflated, &Data::deflated})
    EXPECT_EQ(operation({}), std::nullopt);
}

TEST(DataCompressionTest, TruncatedOrDamagedStreamsGiveNothing) {
  const Bytes payload = randomBytes(3000, 4, true);
  const Bytes raw = Data::deflated(payload).value();
  // A stream, what reads it, and the first byte a checksum covers.
  using Case = std::tuple<Bytes, std::optional<Bytes> (*)(const Bytes&), std::size_t>;
  for (const auto& [stream, operation, firstChecked] :
       {Case{PayloadFile(payload).output("gzip -c -n"), Data::gunzipped, 10},
        Case{zlibCompressed(payload), Data::gunzipped, 0}, Case{raw, Data::inflated, raw.size()}}) {
    for (std::size_t length = 0; length < stream.size(); ++length) {
      ASSERT_EQ(operation(Bytes(stream.begin(), stream.begin() + std::ptrdiff_t(length))), std::nullopt)
          << length;
    }
    // Flips anywhere must not crash; in a checksummed body or trailer they must give nothing.
    for (std::size_t i = 0; i < stream.size(); ++i) {
      Bytes flipped = stream;
      flipped[i] ^= 0xFF;
      const auto result = operation(flipped);
      EXPECT_TRUE(i < firstChecked || result == std::nullopt) << i;
    }
  }
}

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
