#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

// Operations on byte buffers. Indices start at 0; multi-byte values in memory order are little-endian, the
// byte order of every machine this builds for.
namespace Bexlan::Data {

using Bytes = std::vector<std::uint8_t>;

// The MD5 digest of all bytes as 32 lower-case hexadecimal characters.
std::string md5(const Bytes& data);
// Base64 with the URL-safe alphabet ("-" and "_" for "+" and "/") and no padding.
std::string base64URLString(const Bytes& data);

// The bytes of a value in memory order; the length is the value's size.
template <class T>
requires std::is_trivially_copyable_v<T> Bytes from(const T& value) {
  Bytes bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

// A T made from the first sizeof(T) bytes in memory order; nothing when the data is shorter.
template <class T>
requires(std::is_arithmetic_v<T> && !std::same_as<T, bool>) std::optional<T> to(const Bytes& data) {
  if (data.size() < sizeof(T)) {
    return std::nullopt;
  }
  T value;
  std::memcpy(&value, data.data(), sizeof(T));
  return value;
}

// The first byte; 0 for empty data.
std::uint8_t firstByte(const Bytes& data);
// The byte at an index; throws std::out_of_range outside the data.
std::uint8_t byte(const Bytes& data, std::size_t index);
// The first two or four bytes in memory order, and the first four as a big-endian IEEE 754 float. Data
// shorter than the value (empty included) gives 0.
std::uint16_t uint16Value(const Bytes& data);
std::uint32_t uint32Value(const Bytes& data);
float bigEndianFloat(const Bytes& data);

// True when the data begins with the gzip magic bytes 0x1F 0x8B.
bool isGzipped(const Bytes& data);
// The inflated bytes of a zlib or gzip stream (its header tells which); of a multi-member gzip stream only
// the first member. Nothing for empty, corrupt or truncated input, never partial output. Below 4 GiB of
// input and output.
std::optional<Bytes> gunzipped(const Bytes& data);
// The data as a raw DEFLATE stream (no header, no checksum); nothing for empty data.
std::optional<Bytes> deflated(const Bytes& data);
// A raw DEFLATE stream decompressed; nothing for empty, corrupt or truncated input, never partial output.
std::optional<Bytes> inflated(const Bytes& data);

}  // namespace Bexlan::Data
