#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <linux/if_packet.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <thread>
#include <tuple>

#include "Bexlan/DiskUtilities.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Orvane/Network.hpp"
#include "Orvane/NetworkController.hpp"
#include "tests/Orvane/FakeNetworkPlatform.hpp"
#include "tests/Orvane/PrivateNetworkNamespace.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using Orvane::AdapterMode;
using Orvane::AdapterType;
using Orvane::NetworkAdapter;
using Orvane::NetworkController;
using testing::AllOf;
using testing::ElementsAre;
using testing::Ge;
using testing::IsEmpty;
using testing::Le;
using testing::SizeIs;

namespace {

TEST(NetworkAdapterTest, RatesPassTheWarmUpBeforeTheHistoriesRollAndResizingKeepsThePhase) {
  NetworkAdapter adapter("en0", 3);
  // The first update only records the counter.
  adapter.updateDownload(1000, 2.0);
  EXPECT_EQ(
      std::tuple(adapter.oldDownload, adapter.downloadBytesDiff, adapter.maxDownloadBytes, adapter.downloads),
      std::tuple(1000u, 0u, 0u, 0));
  // The next two rates are published but not kept.
  adapter.updateDownload(3000, 2.0);
  EXPECT_EQ(adapter.downloadBytesDiff, 1000u);
  adapter.updateDownload(3600, 2.0);
  EXPECT_EQ(std::tuple(adapter.downloadBytesDiff, adapter.maxDownloadBytes, adapter.downloads),
            std::tuple(300u, 1000u, 2));
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 0, 0));
  // From the fourth update on every rate goes in and the oldest leaves.
  adapter.updateDownload(4600, 2.0);
  adapter.updateDownload(8600, 1.0);
  EXPECT_THAT(adapter.historyDownload, ElementsAre(0, 500, 4000));
  EXPECT_EQ(adapter.maxDownloadHistory, (std::vector<double>{0, 0, 0, 0, 500, 4000}));
  EXPECT_EQ(std::tuple(adapter.maxDownloadBytes, adapter.highestDownload()), std::tuple(4000u, 4000.0));

  // Resizing empties the histories but keeps the phase: the next rate goes straight in.
  NetworkAdapter resized("en0", 2);
  for (std::uint32_t counter : {0u, 10u, 30u, 60u}) resized.updateDownload(counter, 0);
  EXPECT_THAT(resized.historyDownload, ElementsAre(0, 30));
  resized.resizeHistory(3);
  EXPECT_THAT(resized.historyDownload, ElementsAre(0, 0, 0));
  EXPECT_THAT(resized.maxDownloadHistory, SizeIs(6));
  resized.updateDownload(100, 0);
  EXPECT_THAT(resized.historyDownload, ElementsAre(0, 0, 40));
  EXPECT_THROW(resized.resizeHistory(-3), std::invalid_argument);
  EXPECT_THAT(resized.historyDownload, SizeIs(3));
}

TEST(NetworkAdapterTest, CountersAre64BitOnly32BitOnesWrapAndRatesTakeTheReciprocalFirstAndSaturate) {
  NetworkAdapter adapter("en0", 60);
  // {previous, current, difference}: two counters within 32 bits that go down wrapped, one less than the
  // modular difference; beyond 32 bits the difference is kept whole, and a 64-bit counter that goes down
  // was reset.
  const std::uint64_t steps[][3] = {{4294967000u, 100, 395},
                                    {4294967295u, 0, 0},
                                    {1000, 5'000'001'000, 5'000'000'000},
                                    {4294967000u, 4294967296u + 100, 396},
                                    {5'000'000'000, 100, 0}};
  for (const auto& [previous, current, difference] : steps) {
    adapter.updateDownload(previous, 0);
    adapter.updateDownload(current, 0);
    EXPECT_EQ(adapter.downloadBytesDiff, difference) << previous << " -> " << current;
  }

  constexpr double infinity = std::numeric_limits<double>::infinity();
  constexpr std::uint64_t saturated = std::numeric_limits<std::uint64_t>::max();
  // (1 / 49) * 49 is 0.9999999999999999 in double precision: truncated, it is 0. An interval that is not
  // positive gives the raw difference; a rate beyond 64 bits saturates.
  const std::tuple<std::uint64_t, double, std::uint64_t> cases[] = {
      {2000, 2.0, 1000},          {49, 49.0, 0},       {1234, 0.0, 1234},
      {1234, std::nan(""), 1234}, {1234, infinity, 0}, {4294967295u, 1e-12, saturated}};
  for (const auto& [bytes, interval, expected] : cases) {
    EXPECT_EQ(NetworkAdapter::bytesPerSecond(bytes, interval), expected) << bytes << " in " << interval;
  }
}

using Adapter = std::shared_ptr<NetworkAdapter>;

std::vector<std::string> identifiers(const NetworkController& monitor) {
  std::vector<std::string> names;
  for (const auto& adapter : monitor.adapters()) names.push_back(adapter->identifier);
  return names;
}

// What a monitor shows: its adapter, the identifier it publishes, and how often the listener was told.
using Shown = std::tuple<Adapter, std::optional<std::string>, std::size_t>;

class NetworkControllerTest : public testing::Test {
 protected:
  // Loopback, a wired uplink with an alias and three addresses, a Wi-Fi interface, an interface that is
  // down, and a default route over the wired uplink.
  void SetUp() override {
    machine->addLink("lo", 500, 500, IFF_UP | IFF_LOOPBACK, ARPHRD_LOOPBACK);
    machine->addAddress("lo", AF_INET, "127.0.0.1");
    machine->addLink("eth0", 10000, 20000);
    machine->addAddress("eth0", AF_INET, "192.0.2.2");
    machine->addAddress("eth0", AF_INET6, "fd00::2");
    machine->addAddress("eth0", AF_INET6, "fe80::fc:ff:fe00:1");
    machine->addLink("wlan0", 7000, 3000);
    machine->addAddress("wlan0", AF_INET, "10.0.0.5");
    machine->addLink("ifb0", 0, 0, 0);
    machine->systemList = std::vector<platform::SystemInterface>{{"lo", std::nullopt, "Unknown"},
                                                                 {"eth0", "Office LAN", "Ethernet"},
                                                                 {"wlan0", std::nullopt, "IEEE80211"},
                                                                 {"ifb0", std::nullopt, "Ethernet"}};
    machine->primary = "eth0";
  }

  std::shared_ptr<NetworkController> makeController(AdapterMode mode = AdapterMode::all) {
    auto made = std::make_shared<NetworkController>(machine, mode);
    made->setDelegate(delegate);
    return made;
  }
  Adapter named(const std::string& name) const {
    for (const auto& adapter : controller->adapters()) {
      if (adapter->identifier == name) return adapter;
    }
    return nullptr;
  }
  Shown shown() const {
    return {controller->adapter(), controller->currentIdentifier(), delegate->calls.size()};
  }
  std::string download() const { return controller->string("N_S_DL"); }
  void tick(const std::string& name, std::uint64_t received, std::uint64_t sent, double interval = 0) {
    machine->setCounters(name, received, sent);
    controller->refresh(interval);
  }

  std::shared_ptr<networktest::FakeNetworkPlatform> machine =
      std::make_shared<networktest::FakeNetworkPlatform>();
  std::shared_ptr<networktest::RecordingDelegate> delegate =
      std::make_shared<networktest::RecordingDelegate>();
  std::shared_ptr<NetworkController> controller = makeController();
};

TEST_F(NetworkControllerTest, TheRateTextsAreEmptyUntilTheFirstRefreshGivesRateZero) {
  // Two rate texts, named from the module's string table by their keys, empty until the first refresh.
  EXPECT_EQ(controller->store()->data().count(), 2u);
  for (auto [key, name] :
       {std::pair{Orvane::Network::upload(), "Upload"}, {Orvane::Network::download(), "Download"}}) {
    auto entry = controller->store()->identifierAs<Bexlan::StringIdentifier>(key);
    ASSERT_NE(entry, nullptr) << key;
    EXPECT_EQ(entry->name(), name);
    EXPECT_NE(entry->icon(), nullptr);
    EXPECT_EQ(controller->string(key), "");
    EXPECT_FALSE(controller->value(key).has_value());
  }
  controller->refresh(0.01);
  // The first update of an adapter only records its counters: the keys get the texts of rate 0.
  EXPECT_EQ(download(), "0 B/s");
  EXPECT_EQ(controller->string("N_S_UL"), "0 B/s");
  EXPECT_EQ(controller->value("N_S_DL"), platform::Number::of(std::uint64_t{0}));
  EXPECT_EQ(controller->value("N_S_DL")->type(), platform::Number::Type::UInt64);
}

TEST_F(NetworkControllerTest, EveryKnownAdapterIsUpdatedWithAddressAndWiFiFacts) {
  controller->refresh(0);
  machine->wireless = {{"wlan0", -92, -51, 866.7, "Home", std::nullopt}};
  machine->interfaceList->at(7).address = "10.0.0.9";
  tick("wlan0", 9000, 3500, 1.0);
  const auto wlan0 = named("wlan0");
  EXPECT_EQ(std::tuple(wlan0->downloadBytesDiff, wlan0->uploadBytesDiff, wlan0->ipv4),
            std::tuple(2000ull, 500ull, "10.0.0.9"));
  EXPECT_EQ(std::tuple(wlan0->noise, wlan0->rssiValue, wlan0->transmitRate, wlan0->serviceSetIdentifier),
            std::tuple(-92, -51, 866.7, "Home"));
  // Without a Wi-Fi entry the facts keep their values; the shown adapter is still eth0.
  machine->wireless.clear();
  controller->refresh(1.0);
  EXPECT_EQ(wlan0->serviceSetIdentifier, "Home");
  EXPECT_EQ(download(), "0 B/s");
}

TEST_F(NetworkControllerTest, AChangeOfPrimaryIsToldOnceAndMovesThePublishedRates) {
  controller->refresh(0);
  controller->refresh(0);
  EXPECT_THAT(delegate->calls, SizeIs(1));
  machine->primary = "wlan0";
  tick("wlan0", 7600, 3000);
  EXPECT_THAT(delegate->calls, ElementsAre(named("eth0"), named("wlan0")));
  EXPECT_EQ(controller->adapter(), named("wlan0"));
  EXPECT_EQ(download(), "600 B/s");

  // The default route goes away: the delegate hears of no adapter, and the keys keep their last texts.
  machine->primary.reset();
  tick("wlan0", 9600, 3000);
  controller->refresh(0);
  EXPECT_EQ(shown(), Shown(nullptr, std::nullopt, 3));
  EXPECT_EQ(delegate->calls.back(), nullptr);
  EXPECT_EQ(download(), "600 B/s");
}

TEST_F(NetworkControllerTest, SelectingNoAdapterOrAnotherOneStopsDetection) {
  controller->refresh(0);
  controller->select(nullptr);
  EXPECT_FALSE(controller->autoDetect());
  EXPECT_EQ(shown(), Shown(nullptr, std::nullopt, 2));
  EXPECT_EQ(delegate->calls.back(), nullptr);
  tick("eth0", 50000, 20000);
  EXPECT_EQ(download(), "0 B/s");
  EXPECT_THAT(delegate->calls, SizeIs(2));

  // An adapter made outside the table under the name wlan0: the table's wlan0 is what is published.
  auto outside = controller->makeAdapter("wlan0");
  outside->setDownload(123456);
  controller->select(outside);
  EXPECT_EQ(delegate->calls.back(), outside);
  EXPECT_EQ(controller->currentIdentifier(), "wlan0");
  tick("wlan0", 7100, 3000);
  EXPECT_EQ(download(), "100 B/s");
  // The manual choice holds against the primary interface (eth0).
  EXPECT_EQ(shown(), Shown(outside, "wlan0", 3));
}

TEST_F(NetworkControllerTest, PrimaryModeKeepsAFreshAdapterForEachPrimaryInterface) {
  const auto all = controller;
  controller = makeController(AdapterMode::primary);
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0"));
  auto first = controller->adapter();
  tick("eth0", 11000, 20000);
  EXPECT_EQ(download(), "1000 B/s");

  machine->primary = "wlan0";
  tick("wlan0", 9000, 3000);
  EXPECT_THAT(identifiers(*controller), ElementsAre("wlan0"));
  EXPECT_EQ(delegate->calls.back(), named("wlan0"));
  EXPECT_EQ(download(), "0 B/s");  // a fresh adapter's first refresh

  machine->primary = "eth0";
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0"));
  EXPECT_NE(controller->adapter(), first);

  // Changing the mode alone keeps the table until the primary interface changes.
  all->refresh(0);
  all->setMode(AdapterMode::primary);
  all->refresh(0);
  EXPECT_THAT(identifiers(*all), ElementsAre("eth0", "wlan0"));
  machine->primary = "wlan0";
  all->refresh(0);
  EXPECT_THAT(identifiers(*all), ElementsAre("wlan0"));
}

TEST_F(NetworkControllerTest, InterfacesJoinWhenUpStayWhenDownAndAFailedListEndsTheRefresh) {
  controller->refresh(0);
  machine->setFlags("ifb0", IFF_UP);
  machine->setFlags("wlan0", 0);
  machine->addLink("bad\xFF", 0, 0);  // a name that is not UTF-8 never enters
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0", "ifb0", "wlan0"));  // sorted
  EXPECT_THAT(controller->newAdapters(), IsEmpty());
  // Only names on the list that have no adapter yet are made.
  machine->addLink("en2", 0, 0);
  auto fresh = controller->makeAdapters({"en2", "eth0", "lo9"});
  ASSERT_THAT(fresh, SizeIs(1));
  EXPECT_EQ(fresh.front()->identifier, "en2");

  auto saved = std::exchange(machine->interfaceList, std::nullopt);
  controller->refresh(0);
  EXPECT_THAT(controller->adapters(), SizeIs(3));
  EXPECT_EQ(download(), "0 B/s");
  machine->interfaceList = saved;
  tick("eth0", 10500, 20000);
  EXPECT_EQ(download(), "500 B/s");
}

// The kernel's 64-bit counters never wrap: a fall, or a new index under the name, means the interface was
// reset or made anew, and that interval gives rate 0 and a new baseline.
TEST_F(NetworkControllerTest, AFallingCounterOrANewIndexStartsABaselineWithoutTouchingPeakOrHistories) {
  controller->setHistorySize(3);
  machine->setIndex("eth0", 2);
  controller->refresh(0);
  const Adapter eth0 = controller->adapter();
  const std::tuple<int, std::uint64_t, std::uint64_t, std::vector<double>> rows[] = {
      {2, 13000, 3000, {0, 0, 0}},    {2, 14000, 1000, {0, 0, 0}},  {2, 14500, 500, {0, 0, 500}},
      {2, 300, 0, {0, 0, 500}},       {2, 900, 600, {0, 500, 600}}, {7, 5000, 0, {0, 500, 600}},
      {7, 5100, 100, {500, 600, 100}}};
  for (const auto& [index, received, rate, history] : rows) {
    machine->setIndex("eth0", index);
    tick("eth0", received, 20000, 1.0);
    EXPECT_EQ(std::tuple(eth0->downloadBytesDiff, eth0->maxDownloadBytes, eth0->historyDownload),
              std::tuple(rate, 3000u, history))
        << index << " " << received;
    EXPECT_EQ(download(), Bexlan::DiskUtilities::rateString(rate, false));
  }
}

TEST_F(NetworkControllerTest, GoneInterfacesLeaveTheTableButTheShownOneWaitsForItsName) {
  controller->refresh(0);
  const Adapter eth0 = controller->adapter();
  machine->removeInterface("wlan0");
  tick("eth0", 10400, 20000);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0"));
  controller->select(eth0);
  machine->removeInterface("eth0");
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0"));
  EXPECT_EQ(download(), "0 B/s");
  // An interface of its name comes back with counters of its own: they are the new baseline.
  machine->addLink("eth0", 50, 60);
  machine->setIndex("eth0", 9);
  controller->refresh(0);
  EXPECT_EQ(download(), "0 B/s");
  tick("eth0", 150, 60);
  EXPECT_EQ(download(), "100 B/s");
  EXPECT_EQ(std::tuple(named("eth0"), eth0->maxDownloadBytes), std::tuple(eth0, 400u));
  EXPECT_EQ(shown(), Shown(eth0, "eth0", 2));
}

TEST_F(NetworkControllerTest, OneRefreshReadsEachSystemSourceOnceAndKindsOnlyForNewAdapters) {
  controller = makeController(AdapterMode::primary);
  controller->refresh(0);
  auto readsOfRefresh = [&] {
    machine->interfaceReads = machine->systemReads = machine->kindReads = machine->primaryReads = 0;
    controller->refresh(0);
    return std::vector{machine->interfaceReads, machine->systemReads, machine->kindReads,
                       machine->primaryReads};
  };
  EXPECT_THAT(readsOfRefresh(), ElementsAre(1, 1, 0, 1));
  // A change of primary empties the table and makes an adapter anew in the same refresh.
  machine->primary = "wlan0";
  EXPECT_THAT(readsOfRefresh(), ElementsAre(1, 1, 1, 1));
  EXPECT_EQ(controller->adapter()->type, AdapterType::IEEE80211);
}

TEST_F(NetworkControllerTest, NamesAndTypesComeFromTheSystemListsAndNamesAreCached) {
  EXPECT_EQ(controller->displayName("eth0"), "Office LAN");
  EXPECT_FALSE(controller->displayName("wlan0").has_value());
  EXPECT_FALSE(controller->displayName("eth9").has_value());
  int reads = machine->systemReads;
  EXPECT_FALSE(controller->displayName("eth9").has_value());  // an absent name is asked for again
  EXPECT_EQ(machine->systemReads, reads + 1);
  // Once found a name is not asked for again, even when the alias changes; a refresh caches every name.
  machine->systemList->at(1).displayName = "Renamed";
  EXPECT_EQ(controller->displayName("eth0"), "Office LAN");
  machine->systemList->at(2).displayName = "Kitchen Wi-Fi";
  controller->refresh(0);

  auto fresh = makeController();
  // A first entry of the name with another type text is passed over.
  machine->systemList->insert(machine->systemList->begin(), {"wlan0", std::nullopt, "Loopback"});
  EXPECT_EQ(fresh->adapterType("wlan0"), AdapterType::IEEE80211);
  EXPECT_EQ(fresh->adapterType("lo"), AdapterType::unknown);
  EXPECT_EQ(fresh->adapterType("eth9"), AdapterType::unknown);

  machine->systemList.reset();
  EXPECT_EQ(controller->displayName("wlan0"), "Kitchen Wi-Fi");
  EXPECT_EQ(fresh->adapterType("eth0"), AdapterType::unknown);
  auto made = fresh->makeAdapter("eth0");
  EXPECT_EQ(made->ipv4, "192.0.2.2");
  EXPECT_FALSE(made->name.has_value());
  EXPECT_THAT(fresh->adapters(), IsEmpty());
}

TEST_F(NetworkControllerTest, HistorySizeReachesTheAdaptersAndZeroKeepsNothing) {
  controller->refresh(0);
  controller->setHistorySize(5);
  for (const auto& adapter : controller->adapters()) {
    EXPECT_THAT(adapter->historyUpload, SizeIs(5));
    EXPECT_THAT(adapter->maxUploadHistory, SizeIs(10));
  }
  // A refused size leaves the adapters as they were.
  EXPECT_THROW(controller->setHistorySize(-1), std::invalid_argument);
  EXPECT_THAT(controller->adapter()->historyUpload, SizeIs(5));

  controller->setHistorySize(0);
  for (int tock = 1; tock < 6; ++tock) tick("eth0", 10000 + 100 * tock, 20000, 1.0);
  EXPECT_THAT(controller->adapter()->historyDownload, IsEmpty());
  EXPECT_THAT(controller->adapter()->maxUploadHistory, IsEmpty());
  EXPECT_EQ(controller->adapter()->highestDownload(), 0.0);
  EXPECT_EQ(download(), "100 B/s");
}

// Bytes that are not the test's own may cross the link (none are expected with IPv6 switched off, but a
// kernel may still send a stray frame): up to this many are allowed on top of what the test sends.
constexpr std::uint64_t backgroundAllowance = 1024;

// Sends `count` Ethernet frames of `size` bytes each (header included) out of `interface` of the calling
// thread's namespace; the kernel counts exactly those bytes as sent on it and received by its peer.
bool sendFrames(const char* interface, int count, size_t size) {
  int fd = ::socket(AF_PACKET, SOCK_RAW | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_ll target{AF_PACKET, 0, static_cast<int>(::if_nametoindex(interface)), 0, 0, ETH_ALEN, {}};
  std::vector<unsigned char> frame(size, 0x5A);
  std::fill_n(frame.begin(), ETH_ALEN, 0xFF);  // broadcast
  frame[12] = 0x88, frame[13] = 0xB5;          // 0x88B5: the local experimental EtherType
  bool sent = target.sll_ifindex != 0;
  for (int index = 0; sent && index < count; ++index) {
    sent = ::sendto(fd, frame.data(), frame.size(), 0, reinterpret_cast<sockaddr*>(&target), sizeof target) ==
           static_cast<ssize_t>(frame.size());
  }
  ::close(fd);
  return sent;
}

// v0's counters as `ip -j -s link show` gives them.
std::optional<platform::LinkCounters> ipLink(const networktest::PrivateNetworkNamespace& space) {
  const auto json = nlohmann::json::parse(networktest::commandOutput(space.inside("ip -j -s link show v0")),
                                          nullptr, false);
  if (!json.is_array() || json.empty()) return std::nullopt;
  const auto& statistics = json[0]["stats64"];
  return platform::LinkCounters{statistics["rx"]["bytes"].get<std::uint64_t>(),
                                statistics["tx"]["bytes"].get<std::uint64_t>()};
}

// A private namespace: a veth pair v0-v1 (MTU 61000), IPv6 off, an alias on v0, a default route over v0.
class NetworkNamespaceTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const std::string why = networktest::whyNoNetworkNamespaces(); !why.empty()) GTEST_SKIP() << why;
    space = std::make_unique<networktest::PrivateNetworkNamespace>();
    if (!space->created()) GTEST_SKIP() << "needs network namespaces: " << space->error();
    ASSERT_TRUE(
        space->exec("sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1"));
    for (const char* command : {"link add v0 mtu 61000 type veth peer name v1 mtu 61000",
                                "link set v0 alias 'Private uplink'", "link set v0 up", "link set v1 up",
                                "addr add 10.203.0.1/24 dev v0", "route add default via 10.203.0.2 dev v0"}) {
      ASSERT_TRUE(space->ip(command)) << command;
    }
    ASSERT_TRUE(space->waitUntilUp("v0") && space->waitUntilUp("v1"));
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
  EXPECT_EQ(ipLink(*space), (platform::LinkCounters{v0->oldDownload, v0->oldUpload}));

  // A refresh divides by the measured interval: rate x interval is the bytes sent, within 1% and the
  // background allowance; more than 4 GiB within one interval (4.32 GB) count whole in the 64-bit counters.
  controller->setUseBits(true);
  for (const auto& [frames, size, pause] : {std::tuple(100, 1000, 200), {72000, 60000, 0}}) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(sendFrames("v0", frames, size));
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    const double interval = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    controller->refresh(interval);
    const double sent = static_cast<double>(frames) * size;
    EXPECT_THAT(static_cast<double>(v0->uploadBytesDiff) * interval,
                AllOf(Ge(sent * 0.99), Le(sent * 1.01 + backgroundAllowance)));
    EXPECT_EQ(controller->string("N_S_UL"), Bexlan::DiskUtilities::rateString(v0->uploadBytesDiff, true));
    EXPECT_EQ(controller->value("N_S_UL")->unsignedLongLongValue(), v0->uploadBytesDiff);  // still in bytes
  }
  EXPECT_THAT(delegate->calls, SizeIs(1));
}

// Veth pairs made and deleted in batches, as containers come and go: the table holds the links that exist
// (one that is down among them), and the adapters of deleted ones are let go. A pair made anew under its
// names starts from a new baseline: the fall of its counters gives no rate and no peak.
TEST_F(NetworkNamespaceTest, DeletedLinksLeaveTheTableAndARemadeLinkStartsFromZero) {
  auto controller = std::make_shared<NetworkController>();
  const auto makePair = [](const std::string& name) {
    return "link add " + name + "a type veth peer name " + name + "b\nlink set " + name + "a up\nlink set " +
           name + "b up\n";
  };
  std::vector<std::weak_ptr<NetworkAdapter>> made;
  for (int batch = 0; batch < 6; ++batch) {
    std::string commands;
    std::vector<std::string> expected{"v0", "v1"};
    for (const std::string pair : {"p0", "p1", "p2", "p3", "p4"}) {
      const std::string name = "b" + std::to_string(batch) + pair;
      commands += makePair(name);
      if (batch > 0) commands += "link del b" + std::to_string(batch - 1) + pair + "a\n";
      expected.insert(expected.end(), {name + "a", name + "b"});
    }
    ASSERT_TRUE(space->batch(commands));
    controller->refresh(0);
    for (const auto& adapter : controller->adapters()) {
      if (adapter->identifier.starts_with("b")) made.push_back(adapter);
    }
    EXPECT_THAT(identifiers(*controller), testing::UnorderedElementsAreArray(expected)) << batch;
  }
  // Only the adapters of the last batch's links are still held by anyone.
  EXPECT_EQ(std::count_if(made.begin(), made.end(), [](const auto& adapter) { return !adapter.expired(); }),
            10);
  ASSERT_TRUE(space->ip("link set v1 down"));
  controller->refresh(0);
  EXPECT_EQ(controller->adapters().size(), 12u);

  ASSERT_TRUE(space->batch(makePair("a")) && space->waitUntilUp("aa"));
  controller->update();
  ASSERT_TRUE(sendFrames("aa", 3000, 1000));
  controller->update();
  const Adapter aa = controller->adapters().front();  // sorted by name
  ASSERT_EQ(aa->identifier, "aa");
  EXPECT_THAT(aa->uploadBytesDiff, AllOf(Ge(3000000u), Le(3000000u + backgroundAllowance)));
  const std::uint64_t peak = aa->maxUploadBytes;
  ASSERT_TRUE(space->batch("link del aa\n" + makePair("a")) && space->waitUntilUp("aa"));
  controller->update();
  EXPECT_EQ(std::tuple(aa->uploadBytesDiff, aa->maxUploadBytes), std::tuple(0u, peak));
  ASSERT_TRUE(sendFrames("aa", 10, 1000));
  controller->update();
  EXPECT_THAT(aa->uploadBytesDiff, AllOf(Ge(10000u), Le(10000u + backgroundAllowance)));
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
