#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <thread>
#include <tuple>

#include "Bexlan/DiskUtilities.hpp"
#include "Orvane/NetworkController.hpp"
#include "tests/Orvane/FakeNetworkPlatform.hpp"
#include "tests/Orvane/PrivateNetworkNamespace.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using Orvane::NetworkController;
using testing::AllOf;
using testing::ElementsAre;
using testing::Ge;
using testing::Le;
using testing::SizeIs;

namespace {

// Bytes that are not the test's own may cross the link (none are expected with IPv6 switched off, but a
// kernel may still send a stray frame): up to this many are allowed on top of what the test sends.
constexpr std::uint64_t backgroundAllowance = 1024;

// Sends `count` Ethernet frames of `size` bytes each (header included) out of `interface` of the calling
// thread's namespace; the kernel counts exactly those bytes as sent on it and received by its peer.
bool sendFrames(const char* interface, int count, size_t size) {
  int fd = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_ll target{};
  target.sll_family = AF_PACKET;
  target.sll_ifindex = static_cast<int>(::if_nametoindex(interface));
  target.sll_halen = ETH_ALEN;
  std::vector<unsigned char> frame(size, 0x5A);
  std::fill_n(frame.begin(), ETH_ALEN, 0xFF);  // broadcast
  frame[12] = 0x88;                            // 0x88B5: the local experimental EtherType
  frame[13] = 0xB5;
  bool sent = target.sll_ifindex != 0;
  for (int index = 0; sent && index < count; ++index) {
    sent = ::sendto(fd, frame.data(), frame.size(), 0, reinterpret_cast<sockaddr*>(&target), sizeof target) ==
           static_cast<ssize_t>(frame.size());
  }
  ::close(fd);
  return sent;
}

// An interface's counters as `ip -j -s link show` gives them.
std::optional<platform::LinkCounters> ipLink(const networktest::PrivateNetworkNamespace& space,
                                             const std::string& interface) {
  const auto json = nlohmann::json::parse(
      networktest::commandOutput("ip -n " + space.name() + " -j -s link show " + interface), nullptr, false);
  if (!json.is_array() || json.empty()) return std::nullopt;
  const auto& statistics = json[0]["stats64"];
  return platform::LinkCounters{statistics["rx"]["bytes"].get<std::uint64_t>(),
                                statistics["tx"]["bytes"].get<std::uint64_t>()};
}

// A private namespace with a veth pair v0-v1, IPv6 off, an alias on v0 and a default route over it.
class NetworkNamespaceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0)
      GTEST_SKIP() << "needs root to create a network namespace (ip netns add); CI runs as root";
    space = std::make_unique<networktest::PrivateNetworkNamespace>();
    ASSERT_TRUE(space->created()) << "ip netns add " << space->name() << " failed";
    ASSERT_TRUE(
        space->exec("sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1"));
    for (const char* command :
         {"link add v0 type veth peer name v1", "link set v0 alias 'Private uplink'", "link set v0 up",
          "link set v1 up", "addr add 10.203.0.1/24 dev v0", "route add default via 10.203.0.2 dev v0"}) {
      ASSERT_TRUE(space->ip(command)) << command;
    }
    ASSERT_TRUE(space->enter());
  }

  std::unique_ptr<networktest::PrivateNetworkNamespace> space;
};

TEST_F(NetworkNamespaceTest, CountersAndRatesAgreeWithTheBytesSentOverAVethPair) {
  auto controller = std::make_shared<NetworkController>();
  auto delegate = std::make_shared<networktest::RecordingDelegate>();
  controller->setDelegate(delegate);
  controller->refresh(0);

  // The veth ends are the namespace's only active links; loopback is down and would not count anyway.
  auto adapters = controller->adapters();
  ASSERT_EQ(adapters.size(), 2u);
  auto v0 = adapters[0];
  EXPECT_EQ(std::tuple(v0->identifier, adapters[1]->identifier, controller->currentIdentifier(),
                       controller->adapter()),
            std::tuple("v0", "v1", "v0", v0));
  EXPECT_THAT(delegate->calls, ElementsAre(v0));
  EXPECT_EQ(
      std::tuple(v0->type, v0->name, adapters[1]->name, v0->ipv4, v0->ipv6),
      std::tuple(Orvane::AdapterType::ETHERNET, "Private uplink", std::nullopt, "10.203.0.1", std::nullopt));

  // update() publishes raw byte differences: exactly the frames' bytes plus any background.
  ASSERT_TRUE(sendFrames("v0", 200, 1000));
  ASSERT_TRUE(sendFrames("v1", 50, 600));
  controller->update();
  EXPECT_THAT(v0->uploadBytesDiff, AllOf(Ge(200000u), Le(200000u + backgroundAllowance)));
  EXPECT_THAT(v0->downloadBytesDiff, AllOf(Ge(30000u), Le(30000u + backgroundAllowance)));
  EXPECT_EQ(controller->value("N_S_UL")->unsignedLongLongValue(), v0->uploadBytesDiff);
  EXPECT_EQ(controller->string("N_S_UL"), Bexlan::DiskUtilities::rateString(v0->uploadBytesDiff, false));
  // v1 saw the same frames the other way round.
  EXPECT_EQ(adapters[1]->downloadBytesDiff, v0->uploadBytesDiff);
  EXPECT_EQ(adapters[1]->uploadBytesDiff, v0->downloadBytesDiff);

  // The adapter's counters are the kernel's, as /proc/net/dev and ip -s link show them.
  EXPECT_EQ(networktest::procNetDev()["v0"], (platform::LinkCounters{v0->oldDownload, v0->oldUpload}));
  EXPECT_EQ(ipLink(*space, "v0"), (platform::LinkCounters{v0->oldDownload, v0->oldUpload}));

  // A refresh divides by the measured interval: rate x interval is the bytes sent, within 1% and the
  // background allowance.
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(sendFrames("v0", 100, 1000));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  double interval = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  controller->setUseBits(true);
  controller->refresh(interval);
  double bytes = static_cast<double>(v0->uploadBytesDiff) * interval;
  EXPECT_THAT(bytes, AllOf(Ge(100000 * 0.99), Le(100000 * 1.01 + backgroundAllowance)));
  EXPECT_EQ(controller->string("N_S_UL"), Bexlan::DiskUtilities::rateString(v0->uploadBytesDiff, true));
  EXPECT_EQ(controller->value("N_S_UL")->unsignedLongLongValue(), v0->uploadBytesDiff);  // still in bytes
  EXPECT_THAT(delegate->calls, SizeIs(1));
}

// More than 4 GiB within one interval: the 64-bit counters give the whole of it.
TEST_F(NetworkNamespaceTest, MoreThanFourGigabytesWithinOneIntervalGiveTheRightRate) {
  constexpr std::size_t frameSize = 60000;
  constexpr int frames = 72000;  // 4.32 GB
  ASSERT_TRUE(space->ip("link set v0 mtu 61000") && space->ip("link set v1 mtu 61000"));
  auto controller = std::make_shared<NetworkController>();
  controller->refresh(0);
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(sendFrames("v0", frames, frameSize));
  const double interval = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  controller->refresh(interval);
  const auto v0 = controller->adapter();
  ASSERT_TRUE(v0);
  const double sent = static_cast<double>(frames) * frameSize;
  const double measured = static_cast<double>(v0->uploadBytesDiff) * interval;
  EXPECT_THAT(measured, AllOf(Ge(sent * 0.99), Le(sent * 1.01 + backgroundAllowance)));
}

// A monitor on a thread that entered another namespace follows that namespace's default route, not the
// main thread's.
TEST_F(NetworkNamespaceTest, APrimaryInterfaceIsTheCallingThreadsOwn) {
  space->leave();
  auto controller = std::make_shared<NetworkController>();
  std::optional<std::string> primary;
  std::thread([&] {
    if (!space->enter()) return;
    primary = controller->primaryInterface();
    space->leave();
  }).join();
  EXPECT_EQ(primary, "v0");
}

}  // namespace
