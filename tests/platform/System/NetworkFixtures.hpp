#pragma once

#include <arpa/inet.h>
#include <linux/rtnetlink.h>

#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Platform/System/InterfaceEntry.hpp"
#include "Platform/System/TextFields.hpp"
#include "Platform/System/TextSource.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace networktest {

using systemtest::commandOutput;

// A recorded tree under tests/fixtures/network ("host", "laptop").
inline platform::FileTreeTextSource fixture(const std::string& name) {
  return platform::FileTreeTextSource(systemtest::fixtureRoot("network") / name);
}

// /proc/net/dev's counters by interface (of the calling thread's namespace).
inline std::map<std::string, platform::LinkCounters> procNetDev() {
  namespace fields = platform::textfields;
  std::map<std::string, platform::LinkCounters> counters;
  const std::string dev = platform::TextSource::live()->read("/proc/net/dev").value_or("");
  for (auto line : fields::splitLines(dev)) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const auto columns = fields::splitWhitespace(line.substr(colon + 1));
    if (columns.size() < 9) continue;
    counters[std::string(fields::trimmed(line.substr(0, colon)))] = {
        fields::parseDecimal(columns[0]).value_or(0), fields::parseDecimal(columns[8]).value_or(0)};
  }
  return counters;
}

using Bytes = std::vector<std::byte>;

// The bytes of `value` as it lies in memory; a text literal keeps its closing zero byte.
template <class T>
Bytes raw(const T& value) {
  return Bytes(reinterpret_cast<const std::byte*>(&value),
               reinterpret_cast<const std::byte*>(&value) + sizeof value);
}

// The bytes of the address `text` of `family`: 4 for AF_INET, 16 for AF_INET6.
inline Bytes addressBytes(int family, const char* text) {
  Bytes bytes(family == AF_INET ? 4 : 16);
  ::inet_pton(family, text, bytes.data());
  return bytes;
}

// Appends one netlink message of sequence 1 as the kernel lays it out: the header, `fixed`, then the
// (type, payload) route attributes, every part padded to 4 bytes.
template <class Fixed>
void appendMessage(Bytes& buffer, std::uint16_t type, const Fixed& fixed,
                   const std::vector<std::pair<int, Bytes>>& attributes = {}) {
  const auto put = [&](const void* data, std::size_t size) {
    buffer.insert(buffer.end(), static_cast<const std::byte*>(data),
                  static_cast<const std::byte*>(data) + size);
    buffer.resize((buffer.size() + 3) / 4 * 4);
  };
  const std::size_t start = buffer.size();
  const nlmsghdr header{0, type, 0, 1, 0};
  put(&header, sizeof header);
  put(&fixed, sizeof fixed);
  for (const auto& [kind, payload] : attributes) {
    const rtattr attribute{static_cast<unsigned short>(RTA_LENGTH(payload.size())),
                           static_cast<unsigned short>(kind)};
    put(&attribute, sizeof attribute);
    put(payload.data(), payload.size());
  }
  const auto length = static_cast<std::uint32_t>(buffer.size() - start);
  std::memcpy(buffer.data() + start, &length, sizeof length);
}

}  // namespace networktest
