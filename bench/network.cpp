#include <benchmark/benchmark.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>

#include "Orvane/ConnectionsController.hpp"
#include "Orvane/NetworkController.hpp"
#include "Platform/System/InterfaceList.hpp"
#include "Platform/System/LinkTable.hpp"
#include "Platform/System/RouteTable.hpp"
#include "tests/Orvane/PrivateNetworkNamespace.hpp"

namespace {

// One tick of the network monitor on this machine's interfaces: table, primary interface, counters of
// every adapter, Wi-Fi facts and the two rate texts.
void NetworkControllerRefresh(benchmark::State& state) {
  auto controller = std::make_shared<Orvane::NetworkController>();
  controller->refresh(0);
  for (auto _ : state) controller->refresh(1.0);
  state.counters["adapters"] = static_cast<double>(controller->adapters().size());
}
BENCHMARK(NetworkControllerRefresh)->Unit(benchmark::kMicrosecond);

// A machine of loopback and `count` Ethernet links, all up, each with an IPv4 and an IPv6 address (listed
// as the kernel lists them: links, then IPv4 addresses, then IPv6 ones), handed over through the platform
// seam: the refresh is measured without the kernel.
class FixedInterfaces final : public platform::InterfaceList {
 public:
  explicit FixedInterfaces(int count) {
    table_.links.push_back(
        {1, "lo", ARPHRD_LOOPBACK, IFF_UP | IFF_LOOPBACK, std::nullopt, platform::LinkCounters{}});
    for (int index = 2; index <= count + 1; ++index) {
      const auto counter = static_cast<std::uint64_t>(index) * 1000;
      table_.links.push_back({index, "veth" + std::to_string(index), ARPHRD_ETHER, IFF_UP, std::nullopt,
                              platform::LinkCounters{counter, counter}});
    }
    for (int family : {AF_INET, AF_INET6}) {
      for (int index = 2; index <= count + 1; ++index) {
        const std::string host = std::to_string(index / 256) + "." + std::to_string(index % 256);
        table_.addresses.push_back(
            {index, family, family == AF_INET ? "10.0." + host : "fd00::" + std::to_string(index)});
      }
    }
  }
  std::optional<std::vector<platform::InterfaceEntry>> entries() const override {
    return platform::interfaceEntries(table_);
  }

 private:
  platform::InterfaceTable table_;
};

void NetworkRefreshThroughSeam(benchmark::State& state) {
  auto routes = std::make_shared<platform::MemoryTextSource>();
  routes->setFile("/proc/thread-self/net/route",
                  "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
                  "veth2\t00000000\t0100000A\t0003\t0\t0\t0\t00000000\t0\t0\t0\n");
  auto interfaces = std::make_shared<FixedInterfaces>(static_cast<int>(state.range(0)));
  auto controller =
      std::make_shared<Orvane::NetworkController>(platform::NetworkPlatform::live(routes, interfaces));
  controller->refresh(0);
  for (auto _ : state) controller->refresh(1.0);
  state.counters["adapters"] = static_cast<double>(controller->adapters().size());
}
BENCHMARK(NetworkRefreshThroughSeam)->Arg(250)->Arg(2000)->Arg(8000)->Unit(benchmark::kMillisecond);

// A network namespace of the benchmarks' own with loopback and veth pairs, grown to the interfaces asked
// for: every end up with an IPv4 address, IPv6 off, the default route over the first pair. Deleted when the
// program ends (or by the next test run, if it is killed).
networktest::PrivateNetworkNamespace* namespaceWith(int interfaces, std::string& why) {
  static std::unique_ptr<networktest::PrivateNetworkNamespace> space;
  static int pairs = 0;
  if (why = networktest::whyNoNetworkNamespaces(); !why.empty()) return nullptr;
  if (!space) {
    space = std::make_unique<networktest::PrivateNetworkNamespace>();
    if (!space->created() ||
        !space->exec("sysctl -qw net.ipv6.conf.all.disable_ipv6=1 net.ipv6.conf.default.disable_ipv6=1")) {
      why = "cannot set up a network namespace: " + space->error();
      space.reset();
      return nullptr;
    }
  }
  std::string commands;
  for (; 2 * pairs < interfaces; ++pairs) {
    const std::string pair = "p" + std::to_string(pairs);
    const std::string net = "10." + std::to_string(pairs / 256) + "." + std::to_string(pairs % 256) + ".";
    commands += "link add " + pair + "a type veth peer name " + pair + "b\n";
    for (const char* end : {"a", "b"}) {
      commands += "link set " + pair + end + " up\n";
      commands += "addr add " + net + (end[0] == 'a' ? "1" : "2") + "/32 dev " + pair + end + "\n";
    }
    if (pairs == 0) commands += "route add default dev p0a\n";
  }
  if (!commands.empty() && !space->batch(commands)) {
    why = "cannot make veth pairs in the namespace";
    return nullptr;
  }
  return space.get();
}

// Enters the namespace of `state.range(0)` veth interfaces and gives it; null, with the benchmark skipped,
// when it cannot.
networktest::PrivateNetworkNamespace* enteredNamespaceFor(benchmark::State& state) {
  std::string why;
  auto* space = namespaceWith(static_cast<int>(state.range(0)), why);
  if (space && space->enter()) return space;
  state.SkipWithError(why.empty() ? "cannot enter the network namespace" : why.c_str());
  return nullptr;
}

// A refresh of the live monitor in a namespace of `range(0)` veth interfaces.
void NetworkRefreshLive(benchmark::State& state) {
  auto* space = enteredNamespaceFor(state);
  if (!space) return;
  {
    auto controller = std::make_shared<Orvane::NetworkController>();
    controller->refresh(0);
    for (auto _ : state) controller->refresh(1.0);
    state.counters["adapters"] = static_cast<double>(controller->adapters().size());
  }
  space->leave();
}

// The floor under a live refresh: a netlink dump of the links and one of the addresses, received into a
// fixed buffer and only walked, in plain C. The number of messages, or -1 on failure.
long dumpLinksAndAddresses(void) {
  static char buffer[32768];
  int fd = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
  if (fd < 0) return -1;
  long messages = 0;
  const int types[2] = {RTM_GETLINK, RTM_GETADDR};
  for (int which = 0; which < 2; ++which) {
    struct {
      struct nlmsghdr header;
      struct ifinfomsg info;
      struct rtattr maskAttribute;
      unsigned mask;
    } request;
    memset(&request, 0, sizeof request);
    request.header.nlmsg_len = which == 0 ? sizeof request : NLMSG_LENGTH(sizeof(struct ifaddrmsg));
    request.header.nlmsg_type = (unsigned short)types[which];
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = 1;
    request.info.ifi_family = AF_UNSPEC;
    request.maskAttribute.rta_len = RTA_LENGTH(sizeof(unsigned));
    request.maskAttribute.rta_type = IFLA_EXT_MASK;
    request.mask = RTEXT_FILTER_SKIP_STATS;
    struct sockaddr_nl kernel;
    memset(&kernel, 0, sizeof kernel);
    kernel.nl_family = AF_NETLINK;
    if (sendto(fd, &request, request.header.nlmsg_len, 0, (struct sockaddr*)&kernel, sizeof kernel) < 0) {
      close(fd);
      return -1;
    }
    for (int done = 0; !done;) {
      int length = (int)recv(fd, buffer, sizeof buffer, 0);
      if (length <= 0) {
        close(fd);
        return -1;
      }
      for (struct nlmsghdr* header = (struct nlmsghdr*)buffer; NLMSG_OK(header, length);
           header = NLMSG_NEXT(header, length)) {
        if (header->nlmsg_type == NLMSG_DONE) done = 1;
        if (header->nlmsg_type == NLMSG_ERROR) length = -1;
        if (done || length < 0) break;
        ++messages;
      }
      if (length < 0) {
        close(fd);
        return -1;
      }
    }
  }
  close(fd);
  return messages;
}

void NetlinkDumpFloor(benchmark::State& state) {
  auto* space = enteredNamespaceFor(state);
  if (!space) return;
  long messages = 0;
  for (auto _ : state) benchmark::DoNotOptimize(messages = dumpLinksAndAddresses());
  if (messages < 0) state.SkipWithError("the netlink dump failed");
  state.counters["messages"] = static_cast<double>(messages);
  space->leave();
}

// Each size: the live refresh, then the floor beside it, while the namespace has that many interfaces.
BENCHMARK(NetworkRefreshLive)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(NetlinkDumpFloor)->Arg(250)->Unit(benchmark::kMillisecond);
BENCHMARK(NetworkRefreshLive)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(NetlinkDumpFloor)->Arg(2000)->Unit(benchmark::kMillisecond);
BENCHMARK(NetworkRefreshLive)->Arg(8000)->Unit(benchmark::kMillisecond);
BENCHMARK(NetlinkDumpFloor)->Arg(8000)->Unit(benchmark::kMillisecond);

// The sources one refresh reads, each on its own: the floor under the refresh.
void InterfaceListRead(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::InterfaceList::live()->entries());
}
BENCHMARK(InterfaceListRead)->Unit(benchmark::kMicrosecond);

void SystemInterfacesRead(benchmark::State& state) {
  auto system = platform::NetworkPlatform::live();
  for (auto _ : state) benchmark::DoNotOptimize(system->systemInterfaces(false));
}
BENCHMARK(SystemInterfacesRead)->Unit(benchmark::kMicrosecond);

void SystemInterfacesWithKindsRead(benchmark::State& state) {
  auto system = platform::NetworkPlatform::live();
  for (auto _ : state) benchmark::DoNotOptimize(system->systemInterfaces(true));
}
BENCHMARK(SystemInterfacesWithKindsRead)->Unit(benchmark::kMicrosecond);

void PrimaryInterfaceRead(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(platform::readPrimaryInterface(*platform::TextSource::live()));
}
BENCHMARK(PrimaryInterfaceRead)->Unit(benchmark::kMicrosecond);

void WirelessInterfacesRead(benchmark::State& state) {
  auto system = platform::NetworkPlatform::live();
  for (auto _ : state) benchmark::DoNotOptimize(system->wirelessInterfaces());
}
BENCHMARK(WirelessInterfacesRead)->Unit(benchmark::kMicrosecond);

// Counting the machine's connections from the four socket tables.
void ConnectionCount(benchmark::State& state) {
  Orvane::ConnectionsController controller;
  for (auto _ : state) benchmark::DoNotOptimize(controller.connectionCount());
}
BENCHMARK(ConnectionCount)->Unit(benchmark::kMicrosecond);

}  // namespace
