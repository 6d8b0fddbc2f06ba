#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "Bexlan/DataProviderContainer.hpp"
#include "Bexlan/DataStore.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Orvane/Network.hpp"
#include "Orvane/NetworkController.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "tests/Orvane/FakeNetworkPlatform.hpp"

using Orvane::AdapterMode;
using Orvane::AdapterType;
using Orvane::IpType;
using Orvane::NetworkAdapter;
using Orvane::NetworkController;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::SizeIs;

namespace {

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
    auto controller = std::make_shared<NetworkController>(machine, mode);
    controller->setDelegate(delegate);
    return controller;
  }

  static std::vector<std::string> identifiers(const NetworkController& controller) {
    std::vector<std::string> names;
    for (const auto& adapter : controller.adapters()) names.push_back(adapter->identifier);
    return names;
  }

  static std::shared_ptr<NetworkAdapter> named(const NetworkController& controller, const std::string& name) {
    for (const auto& adapter : controller.adapters()) {
      if (adapter->identifier == name) return adapter;
    }
    return nullptr;
  }

  std::shared_ptr<networktest::FakeNetworkPlatform> machine =
      std::make_shared<networktest::FakeNetworkPlatform>();
  std::shared_ptr<networktest::RecordingDelegate> delegate =
      std::make_shared<networktest::RecordingDelegate>();
};

TEST_F(NetworkControllerTest, ANewMonitorRegistersTwoEmptyNamedRateTexts) {
  auto controller = makeController();
  EXPECT_EQ(controller->store()->data().count(), 2u);
  for (auto [key, englishName] :
       {std::pair{Orvane::Network::upload(), "Upload"}, {Orvane::Network::download(), "Download"}}) {
    auto entry = controller->store()->identifierAs<Bexlan::StringIdentifier>(key);
    ASSERT_NE(entry, nullptr) << key;
    // Named from the module's string table, looked up by the key.
    EXPECT_EQ(entry->name(), englishName);
    EXPECT_NE(entry->icon(), nullptr);
    EXPECT_EQ(controller->string(key), "");
    EXPECT_FALSE(controller->value(key).has_value());
  }
  EXPECT_FALSE(controller->store()->contains(Orvane::Network::connections()));
}

TEST_F(NetworkControllerTest, TheFirstRefreshFillsTheTableAndShowsThePrimary) {
  auto controller = makeController();
  controller->refresh(0.01);
  // Loopback, the interface that is down and the address-only entries stay out.
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0", "wlan0"));
  auto eth0 = named(*controller, "eth0");
  ASSERT_NE(eth0, nullptr);
  EXPECT_EQ(controller->adapter(), eth0);
  EXPECT_EQ(controller->currentIdentifier(), "eth0");
  EXPECT_THAT(delegate->calls, ElementsAre(eth0));
  EXPECT_EQ(eth0->type, AdapterType::ETHERNET);
  EXPECT_EQ(eth0->name, "Office LAN");
  EXPECT_EQ(eth0->ipv4, "192.0.2.2");
  EXPECT_EQ(eth0->ipv6, "fd00::2");
  EXPECT_THAT(eth0->historyDownload, SizeIs(120));
  EXPECT_EQ(named(*controller, "wlan0")->type, AdapterType::IEEE80211);
  // The first update of an adapter only records its counters: the keys get the texts of rate 0.
  EXPECT_EQ(eth0->oldDownload, 10000u);
  EXPECT_EQ(eth0->oldUpload, 20000u);
  EXPECT_EQ(controller->string("N_S_DL"), "0 B/s");
  EXPECT_EQ(controller->string("N_S_UL"), "0 B/s");
  EXPECT_EQ(controller->value("N_S_DL"), platform::Number::of(std::uint64_t{0}));
  EXPECT_EQ(controller->value("N_S_DL")->type(), platform::Number::Type::UInt64);
}

TEST_F(NetworkControllerTest, RatesInBytesOrBitsAndRawDifferencesOnUpdate) {
  auto controller = makeController();
  controller->refresh(0);
  machine->setCounters("eth0", 12000, 23000);
  controller->refresh(2.0);
  EXPECT_EQ(controller->string("N_S_DL"), "1000 B/s");
  EXPECT_EQ(controller->string("N_S_UL"), "1 KB/s");
  EXPECT_EQ(controller->value("N_S_UL")->unsignedLongLongValue(), 1500u);

  controller->setUseBits(true);
  machine->setCounters("eth0", 12000 + 3 * 1048576, 23000 + 1000);
  controller->refresh(1.0);
  EXPECT_EQ(controller->string("N_S_DL"), "25.17 Mb/s");
  EXPECT_EQ(controller->string("N_S_UL"), "8 Kb/s");
  EXPECT_EQ(controller->value("N_S_UL")->unsignedLongLongValue(), 1000u);  // the number stays in bytes

  // update() divides by nothing: the rates are the byte differences, here across a counter wrap.
  controller->setUseBits(false);
  machine->setCounters("eth0", 4294967000u, 24777);
  controller->update();
  machine->setCounters("eth0", 100, 24777);
  controller->update();
  EXPECT_EQ(controller->value("N_S_DL")->unsignedLongLongValue(), 395u);
  EXPECT_EQ(controller->string("N_S_UL"), "0 B/s");
  EXPECT_EQ(controller->store()->history("N_S_DL")->back().unsignedLongLongValue(), 395u);
}

// The container hands each refresh the seconds since the end of the previous one: the rates divide by it,
// and the container's store shows them at once.
TEST_F(NetworkControllerTest, InAContainerRatesDivideByTheTimeSinceThePreviousRefresh) {
  platform::Clock::Override clock(1.7e9, 1000.0);
  auto container = Bexlan::DataProviderContainer::create(std::nullopt);
  container->add(makeController());
  container->refresh();
  clock.advance(2.0);
  machine->setCounters("eth0", 11000, 20000);
  container->refresh();
  EXPECT_EQ(container->string("N_S_DL"), "500 B/s");
  clock.advance(0.25);
  machine->setCounters("eth0", 11500, 20000);
  container->refresh();
  EXPECT_EQ(container->value("N_S_DL")->unsignedLongLongValue(), 2000u);
}

TEST_F(NetworkControllerTest, EveryKnownAdapterIsUpdatedWithAddressAndWiFiFacts) {
  auto controller = makeController();
  controller->refresh(0);
  machine->setCounters("wlan0", 9000, 3500);
  machine->wireless = {{"wlan0", -92, -51, 866.7, "Home", std::nullopt}};
  machine->interfaceList->at(7).address = "10.0.0.9";
  controller->refresh(1.0);
  auto wlan0 = named(*controller, "wlan0");
  EXPECT_EQ(wlan0->downloadBytesDiff, 2000u);
  EXPECT_EQ(wlan0->uploadBytesDiff, 500u);
  EXPECT_EQ(wlan0->ipv4, "10.0.0.9");
  EXPECT_EQ(wlan0->noise, -92);
  EXPECT_EQ(wlan0->rssiValue, -51);
  EXPECT_EQ(wlan0->transmitRate, 866.7);
  EXPECT_EQ(wlan0->serviceSetIdentifier, "Home");
  EXPECT_FALSE(wlan0->isSecured());
  // Without a Wi-Fi entry the facts keep their values; the shown adapter is still eth0.
  machine->wireless.clear();
  controller->refresh(1.0);
  EXPECT_EQ(wlan0->serviceSetIdentifier, "Home");
  EXPECT_EQ(controller->string("N_S_DL"), "0 B/s");
}

TEST_F(NetworkControllerTest, AChangeOfPrimaryIsToldOnceAndMovesThePublishedRates) {
  auto controller = makeController();
  controller->refresh(0);
  controller->refresh(0);
  EXPECT_THAT(delegate->calls, SizeIs(1));
  machine->primary = "wlan0";
  machine->setCounters("wlan0", 7600, 3000);
  controller->refresh(0);
  auto wlan0 = named(*controller, "wlan0");
  EXPECT_THAT(delegate->calls, ElementsAre(named(*controller, "eth0"), wlan0));
  EXPECT_EQ(controller->adapter(), wlan0);
  EXPECT_EQ(controller->string("N_S_DL"), "600 B/s");

  // The default route goes away: the delegate hears of no adapter, and the keys keep their last texts.
  machine->primary.reset();
  machine->setCounters("wlan0", 9600, 3000);
  controller->refresh(0);
  controller->refresh(0);
  EXPECT_THAT(delegate->calls, SizeIs(3));
  EXPECT_EQ(delegate->calls.back(), nullptr);
  EXPECT_EQ(controller->adapter(), nullptr);
  EXPECT_FALSE(controller->currentIdentifier().has_value());
  EXPECT_EQ(controller->string("N_S_DL"), "600 B/s");
}

TEST_F(NetworkControllerTest, WithoutAPrimaryInterfaceOrAListenerNothingIsShownOrTold) {
  machine->primary.reset();
  auto controller = makeController();
  for (int tick = 0; tick < 3; ++tick) {
    machine->setCounters("eth0", 10000 + 5000 * tick, 20000);
    controller->refresh(1.0);
  }
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0", "wlan0"));
  EXPECT_EQ(controller->adapter(), nullptr);
  EXPECT_THAT(delegate->calls, IsEmpty());
  EXPECT_EQ(controller->string("N_S_DL"), "");

  machine->primary = "eth0";
  delegate.reset();
  EXPECT_EQ(controller->delegate(), nullptr);
  controller->refresh(0);
  EXPECT_NE(controller->adapter(), nullptr);
}

TEST_F(NetworkControllerTest, SelectingNoAdapterOrAnotherOneStopsDetection) {
  auto controller = makeController();
  controller->refresh(0);
  controller->select(nullptr);
  EXPECT_FALSE(controller->autoDetect());
  EXPECT_EQ(controller->adapter(), nullptr);
  EXPECT_THAT(delegate->calls, SizeIs(2));
  EXPECT_EQ(delegate->calls.back(), nullptr);
  machine->setCounters("eth0", 50000, 20000);
  controller->refresh(0);
  EXPECT_EQ(controller->string("N_S_DL"), "0 B/s");
  EXPECT_THAT(delegate->calls, SizeIs(2));

  // An adapter made outside the table under the name wlan0: the table's wlan0 is what is published.
  auto outside = controller->makeAdapter("wlan0");
  outside->setDownload(123456);
  controller->select(outside);
  EXPECT_EQ(delegate->calls.back(), outside);
  EXPECT_EQ(controller->currentIdentifier(), "wlan0");
  machine->setCounters("wlan0", 7100, 3000);
  controller->refresh(0);
  EXPECT_EQ(controller->string("N_S_DL"), "100 B/s");
  EXPECT_EQ(controller->adapter(), outside);
  // The manual choice holds against the primary interface (eth0).
  EXPECT_EQ(controller->currentIdentifier(), "wlan0");
  EXPECT_THAT(delegate->calls, SizeIs(3));
}

TEST_F(NetworkControllerTest, SwitchingDetectionClearsTheShownAdapterSilentlyAndTheNextRefreshTells) {
  auto controller = makeController();
  controller->refresh(0);
  controller->setAutoDetect(false);
  EXPECT_EQ(controller->adapter(), nullptr);
  EXPECT_FALSE(controller->currentIdentifier().has_value());
  controller->refresh(0);
  EXPECT_THAT(delegate->calls, SizeIs(1));

  controller->setAutoDetect(true);
  controller->refresh(0);
  EXPECT_THAT(delegate->calls, SizeIs(2));
  EXPECT_EQ(controller->adapter(), named(*controller, "eth0"));

  controller->select(named(*controller, "wlan0"));
  controller->enableAutoDetect();
  EXPECT_TRUE(controller->autoDetect());
  EXPECT_EQ(controller->adapter(), nullptr);
  controller->refresh(0);
  EXPECT_THAT(delegate->calls, SizeIs(4));
  EXPECT_EQ(delegate->calls.back()->identifier, "eth0");
}

TEST_F(NetworkControllerTest, PrimaryModeKeepsAFreshAdapterForEachPrimaryInterface) {
  auto controller = makeController(AdapterMode::primary);
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0"));
  auto first = controller->adapter();
  machine->setCounters("eth0", 11000, 20000);
  controller->refresh(0);
  EXPECT_EQ(controller->string("N_S_DL"), "1000 B/s");

  machine->primary = "wlan0";
  machine->setCounters("wlan0", 9000, 3000);
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("wlan0"));
  EXPECT_EQ(delegate->calls.back(), named(*controller, "wlan0"));
  EXPECT_EQ(controller->string("N_S_DL"), "0 B/s");  // a fresh adapter's first refresh

  machine->primary = "eth0";
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0"));
  EXPECT_NE(controller->adapter(), first);

  // Changing the mode alone keeps the table until the primary interface changes.
  auto all = makeController();
  all->refresh(0);
  all->setMode(AdapterMode::primary);
  all->refresh(0);
  EXPECT_THAT(identifiers(*all), ElementsAre("eth0", "wlan0"));
  machine->primary = "wlan0";
  all->refresh(0);
  EXPECT_THAT(identifiers(*all), ElementsAre("wlan0"));
}

TEST_F(NetworkControllerTest, InterfacesJoinWhenUpStayWhenDownAndAFailedListEndsTheRefresh) {
  auto controller = makeController();
  controller->refresh(0);
  machine->setFlags("ifb0", IFF_UP);
  machine->setFlags("wlan0", 0);
  machine->addLink("bad\xFF", 0, 0);  // a name that is not UTF-8 never enters
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("eth0", "ifb0", "wlan0"));

  auto saved = machine->interfaceList;
  machine->interfaceList.reset();
  controller->refresh(0);
  EXPECT_THAT(controller->adapters(), SizeIs(3));
  EXPECT_EQ(controller->string("N_S_DL"), "0 B/s");
  machine->interfaceList = saved;
  machine->setCounters("eth0", 10500, 20000);
  controller->refresh(0);
  EXPECT_EQ(controller->string("N_S_DL"), "500 B/s");
}

TEST_F(NetworkControllerTest, OneRefreshReadsEachSystemSourceOnceAndKindsOnlyForNewAdapters) {
  auto controller = makeController(AdapterMode::primary);
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

TEST_F(NetworkControllerTest, NamesAddressesAndTypesComeFromTheSystemListsAndNamesAreCached) {
  auto controller = makeController();
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
  EXPECT_EQ(fresh->address("eth0", IpType::ip4), "192.0.2.2");
  EXPECT_EQ(fresh->address("eth0", IpType::ip6), "fd00::2");
  EXPECT_FALSE(fresh->address("wlan0", IpType::ip6).has_value());
  EXPECT_FALSE(fresh->address("eth9", IpType::ip4).has_value());
  EXPECT_EQ(fresh->primaryInterface(), "eth0");
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

TEST_F(NetworkControllerTest, AdaptersComeSortedByIdentifier) {
  machine->interfaceList->clear();
  for (const auto* name : {"en1", "utun0", "en0"}) machine->addLink(name, 0, 0);
  auto controller = makeController();
  controller->refresh(0);
  EXPECT_THAT(identifiers(*controller), ElementsAre("en0", "en1", "utun0"));
  EXPECT_THAT(controller->newAdapters(), IsEmpty());
  machine->addLink("en2", 0, 0);
  auto fresh = controller->makeAdapters({"en2", "utun0", "lo"});
  ASSERT_THAT(fresh, SizeIs(1));
  EXPECT_EQ(fresh.front()->identifier, "en2");
}

TEST_F(NetworkControllerTest, HistorySizeReachesAdaptersAndStoreAndZeroKeepsNothing) {
  auto controller = makeController();
  controller->refresh(0);
  controller->setHistorySize(5);
  EXPECT_EQ(controller->store()->historySize(), 5);
  for (const auto& adapter : controller->adapters()) {
    EXPECT_THAT(adapter->historyUpload, SizeIs(5));
    EXPECT_THAT(adapter->maxUploadHistory, SizeIs(10));
  }
  EXPECT_THROW(controller->setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(controller->historySize(), 5);
  EXPECT_THAT(controller->adapter()->historyUpload, SizeIs(5));

  controller->setHistorySize(0);
  for (int tick = 1; tick < 6; ++tick) {
    machine->setCounters("eth0", 10000 + 100 * tick, 20000);
    controller->refresh(1.0);
  }
  EXPECT_THAT(controller->adapter()->historyDownload, IsEmpty());
  EXPECT_EQ(controller->string("N_S_DL"), "100 B/s");
}

TEST_F(NetworkControllerTest, ANewStoreTakesLaterRatesAndTheAdapterCanBeSetAlone) {
  auto controller = makeController();
  controller->refresh(0);
  auto replacement = std::make_shared<Bexlan::DataStore>();
  auto download = std::make_shared<Bexlan::StringIdentifier>("N_S_DL", "", std::nullopt);
  replacement->add(download);
  controller->setStore(replacement);
  machine->setCounters("eth0", 10500, 20000);
  controller->update();
  EXPECT_EQ(download->value(), platform::Number::of(std::uint64_t{500}));
  EXPECT_THROW(controller->setStore(nullptr), std::invalid_argument);
  // Setting the adapter leaves what is published to the current identifier.
  controller->setAdapter(named(*controller, "wlan0"));
  EXPECT_EQ(controller->adapter(), named(*controller, "wlan0"));
  EXPECT_EQ(controller->currentIdentifier(), "eth0");
}

}  // namespace
