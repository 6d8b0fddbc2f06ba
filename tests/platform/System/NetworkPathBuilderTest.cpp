#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <linux/rtnetlink.h>
#include <net/if.h>

#include <cstring>
#include <random>

#include "Platform/System/NetworkPathBuilder.hpp"

namespace {

using platform::LinkDumpState;
using platform::NetworkPath;
using Bytes = std::vector<std::byte>;

// Appends one message of sequence 1, `fixed` then the (type, payload) attributes, padded as the kernel pads.
template <class Fixed>
void append(Bytes& buffer, std::uint16_t type, const Fixed& fixed,
            std::vector<std::pair<int, Bytes>> attributes) {
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

template <class T>
Bytes raw(const T& value) {
  return Bytes(reinterpret_cast<const std::byte*>(&value),
               reinterpret_cast<const std::byte*>(&value) + sizeof value);
}

Bytes address(int family, const char* text) {
  Bytes bytes(family == AF_INET ? 4 : 16);
  inet_pton(family, text, bytes.data());
  return bytes;
}

Bytes dump() {
  Bytes buffer;
  append(buffer, RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, 1, IFF_UP | IFF_LOOPBACK, 0},
         {{IFLA_IFNAME, raw("lo")}});
  append(buffer, RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, 2, IFF_UP, 0}, {{IFLA_IFNAME, raw("v0")}});
  append(buffer, RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, 3, 0, 0}, {{IFLA_IFNAME, raw("v1")}});
  append(buffer, RTM_NEWADDR, ifaddrmsg{AF_INET, 24, 0, 0, 2}, {{IFA_LOCAL, address(AF_INET, "10.0.0.2")}});
  append(buffer, RTM_NEWADDR, ifaddrmsg{AF_INET6, 64, 0, 0, 2},
         {{IFA_ADDRESS, address(AF_INET6, "fd00::2")}});
  append(buffer, RTM_NEWADDR, ifaddrmsg{AF_INET, 8, 0, 0, 1}, {{IFA_LOCAL, address(AF_INET, "127.0.0.1")}});
  const rtmsg route{AF_INET, 0, 0, 0, RT_TABLE_MAIN, RTPROT_BOOT, RT_SCOPE_UNIVERSE, RTN_UNICAST, 0};
  append(buffer, RTM_NEWROUTE, route, {{RTA_OIF, raw(2)}, {RTA_GATEWAY, address(AF_INET, "10.0.0.1")}});
  append(buffer, RTM_NEWROUTE, route, {{RTA_OIF, raw(3)}});  // over an interface that is down
  append(buffer, NLMSG_DONE, 0, {});
  return buffer;
}

TEST(NetworkPathBuilderTest, KeepsUpInterfacesOtherThanLoopbackTheirAddressesAndDefaultRoutes) {
  platform::NetworkPathBuilder builder;
  ASSERT_EQ(builder.add(dump(), 1), LinkDumpState::done);
  const NetworkPath expected{{{2, "v0", {"10.0.0.2/24", "fd00::2/64"}}}, {{AF_INET, 2, "10.0.0.1"}}};
  EXPECT_EQ(builder.path(), expected);
  platform::NetworkPathBuilder stale;
  EXPECT_EQ(stale.add(dump(), 2), LinkDumpState::incomplete);  // another dump's replies
  EXPECT_EQ(stale.path(), NetworkPath());
}

TEST(NetworkPathBuilderTest, TruncatedAndDamagedBuffersAreReadWithinTheirBounds) {
  const Bytes whole = dump();
  std::mt19937 random(11);
  for (std::size_t length = 0; length < whole.size(); ++length) {
    Bytes damaged(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(length));
    for (auto& byte : damaged) byte ^= std::byte(random() % 8 == 0 ? random() : 0);
    platform::NetworkPathBuilder builder;
    EXPECT_NE(builder.add(damaged, 1), LinkDumpState::done) << length;  // the end marker is the last 20 bytes
    builder.path();
  }
}

}  // namespace
