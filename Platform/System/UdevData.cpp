#include "Platform/System/UdevData.hpp"

#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string decodeUdevText(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && hexDigit(text[i + 2]) >= 0 &&
        hexDigit(text[i + 3]) >= 0) {
      decoded.push_back(static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3])));
      i += 3;
    } else {
      decoded.push_back(text[i]);
    }
  }
  return decoded;
}

std::optional<std::string> UdevData::text(std::string_view key) const {
  std::string value;
  if (const auto encoded = properties.find(std::string(key) + "_ENC"); encoded != properties.end()) {
    value = decodeUdevText(encoded->second);
  } else if (const auto plain = properties.find(key); plain != properties.end()) {
    value = plain->second;
  }
  const std::string_view result = textfields::trimmed(value);
  if (result.empty()) return std::nullopt;
  return std::string(result);
}

}  // namespace platform
