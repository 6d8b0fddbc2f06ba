#include <gtest/gtest.h>
#include <linux/rtnetlink.h>
#include <net/if.h>

#include <random>

#include "Platform/System/NetworkPathBuilder.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

namespace networktest {
namespace {

using platform::LinkDumpState;
using platform::NetworkPath;

Bytes dump() {
  Bytes buffer;
  appendMessage(buffer, RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, 1, IFF_UP | IFF_LOOPBACK, 0},
                {{IFLA_IFNAME, raw("lo")}});
  appendMessage(buffer, RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, 2, IFF_UP, 0}, {{IFLA_IFNAME, raw("v0")}});
  appendMessage(buffer, RTM_NEWLINK, ifinfomsg{AF_UNSPEC, 0, 0, 3, 0, 0}, {{IFLA_IFNAME, raw("v1")}});
  appendMessage(buffer, RTM_NEWADDR, ifaddrmsg{AF_INET, 24, 0, 0, 2},
                {{IFA_LOCAL, addressBytes(AF_INET, "10.0.0.2")}});
  appendMessage(buffer, RTM_NEWADDR, ifaddrmsg{AF_INET6, 64, 0, 0, 2},
                {{IFA_ADDRESS, addressBytes(AF_INET6, "fd00::2")}});
  appendMessage(buffer, RTM_NEWADDR, ifaddrmsg{AF_INET, 8, 0, 0, 1},
                {{IFA_LOCAL, addressBytes(AF_INET, "127.0.0.1")}});
  const rtmsg route{AF_INET, 0, 0, 0, RT_TABLE_MAIN, RTPROT_BOOT, RT_SCOPE_UNIVERSE, RTN_UNICAST, 0};
  appendMessage(buffer, RTM_NEWROUTE, route,
                {{RTA_OIF, raw(2)}, {RTA_GATEWAY, addressBytes(AF_INET, "10.0.0.1")}});
  appendMessage(buffer, RTM_NEWROUTE, route, {{RTA_OIF, raw(3)}});  // over an interface that is down
  appendMessage(buffer, NLMSG_DONE, 0, {});
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
}  // namespace networktest
