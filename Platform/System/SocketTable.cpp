#include "Platform/System/SocketTable.hpp"

#include <algorithm>
#include <cstring>
#include <string>

#include "Platform/System/HexField.hpp"
#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

constexpr size_t wordDigits = 8;
constexpr std::array<std::uint8_t, 12> mappedPrefix = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF};

// "0100007F:0277" or 32 digits, ":" and the port.
std::optional<SocketEndpoint> parseEndpoint(std::string_view field) {
  size_t colon = field.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  std::string_view digits = field.substr(0, colon);
  std::string_view portDigits = field.substr(colon + 1);
  if ((digits.size() != wordDigits && digits.size() != 4 * wordDigits) || portDigits.size() != 4) {
    return std::nullopt;
  }
  SocketEndpoint endpoint;
  for (size_t word = 0; word < digits.size() / wordDigits; ++word) {
    auto value = parseHexField(digits.substr(word * wordDigits, wordDigits));
    if (!value) return std::nullopt;
    // The kernel prints the address word as it sits in memory, read as a host integer: copying the integer
    // back gives the address bytes in network order.
    auto hostWord = static_cast<std::uint32_t>(*value);
    std::memcpy(endpoint.address.data() + 4 * word, &hostWord, sizeof hostWord);
  }
  auto port = parseHexField(portDigits);
  if (!port) return std::nullopt;
  endpoint.port = static_cast<std::uint16_t>(*port);
  endpoint.family = digits.size() == wordDigits ? AF_INET : AF_INET6;
  if (endpoint.family == AF_INET6 &&
      std::equal(mappedPrefix.begin(), mappedPrefix.end(), endpoint.address.begin())) {
    std::array<std::uint8_t, 16> ipv4{};
    std::copy_n(endpoint.address.begin() + mappedPrefix.size(), 4, ipv4.begin());
    endpoint.address = ipv4;
    endpoint.family = AF_INET;
  }
  return endpoint;
}

}  // namespace

bool SocketEndpoint::isUnspecified() const {
  return std::all_of(address.begin(), address.end(), [](std::uint8_t byte) { return byte == 0; });
}

std::vector<SocketRow> parseSocketTable(std::string_view text) {
  std::vector<std::string_view> lines = textfields::splitLines(text);
  if (lines.empty()) return {};
  std::vector<std::string_view> header = textfields::splitWhitespace(lines.front());
  auto column = [&](std::string_view name) {
    return static_cast<size_t>(std::find(header.begin(), header.end(), name) - header.begin());
  };
  const size_t local = column("local_address");
  // The IPv6 tables name the remote column in full.
  const size_t remote = std::min(column("rem_address"), column("remote_address"));
  const size_t state = column("st");
  // The columns named after "st" ("tx_queue rx_queue" is one field in the rows) are not used.
  if (local == header.size() || remote == header.size() || state == header.size()) return {};

  std::vector<SocketRow> rows;
  for (size_t index = 1; index < lines.size(); ++index) {
    std::vector<std::string_view> fields = textfields::splitWhitespace(lines[index]);
    if (std::max({local, remote, state}) >= fields.size()) continue;
    auto localEndpoint = parseEndpoint(fields[local]);
    auto remoteEndpoint = parseEndpoint(fields[remote]);
    auto stateValue = parseHexField(fields[state]);
    if (!localEndpoint || !remoteEndpoint || !stateValue || fields[state].size() != 2) continue;
    rows.push_back({*localEndpoint, *remoteEndpoint, static_cast<std::uint8_t>(*stateValue)});
  }
  return rows;
}

std::optional<std::vector<SocketRow>> readSocketTable(const TextSource& source, std::string_view path) {
  auto text = source.read(std::string(path));
  if (!text) return std::nullopt;
  return parseSocketTable(*text);
}

}  // namespace platform
