#include "Bexlan/Data.hpp"

#include <openssl/evp.h>

#include <bit>
#include <stdexcept>

namespace Bexlan::Data {

namespace {

static_assert(std::endian::native == std::endian::little, "the typed readers assume little-endian memory");

template <class T>
T leading(const Bytes& data) {
  return to<T>(data).value_or(T{});
}

}  // namespace

std::string md5(const Bytes& data) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_md5(), nullptr) != 1) {
    throw std::runtime_error("MD5 is not available");
  }
  static constexpr char digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(2 * length);
  for (unsigned int i = 0; i < length; ++i) {
    text.push_back(digits[digest[i] >> 4]);
    text.push_back(digits[digest[i] & 0x0F]);
  }
  return text;
}

std::string base64URLString(const Bytes& data) {
  static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
  std::string text;
  text.reserve((data.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= data.size(); i += 3) {
    const std::uint32_t group = std::uint32_t(data[i]) << 16 | std::uint32_t(data[i + 1]) << 8 | data[i + 2];
    for (int shift = 18; shift >= 0; shift -= 6) {
      text.push_back(alphabet[(group >> shift) & 0x3F]);
    }
  }
  const std::size_t rest = data.size() - i;
  if (rest > 0) {
    const std::uint32_t group =
        std::uint32_t(data[i]) << 16 | (rest == 2 ? std::uint32_t(data[i + 1]) << 8 : 0);
    text.push_back(alphabet[(group >> 18) & 0x3F]);
    text.push_back(alphabet[(group >> 12) & 0x3F]);
    if (rest == 2) {
      text.push_back(alphabet[(group >> 6) & 0x3F]);
    }
  }
  return text;
}

std::uint8_t firstByte(const Bytes& data) { return data.empty() ? 0 : data.front(); }

std::uint8_t byte(const Bytes& data, std::size_t index) { return data.at(index); }

std::uint16_t uint16Value(const Bytes& data) { return leading<std::uint16_t>(data); }

std::uint32_t uint32Value(const Bytes& data) { return leading<std::uint32_t>(data); }

float bigEndianFloat(const Bytes& data) {
  return std::bit_cast<float>(__builtin_bswap32(leading<std::uint32_t>(data)));
}

bool isGzipped(const Bytes& data) { return data.size() >= 2 && data[0] == 0x1F && data[1] == 0x8B; }

}  // namespace Bexlan::Data
