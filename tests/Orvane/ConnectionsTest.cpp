#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cmath>
#include <set>
#include <sstream>
#include <thread>
#include <tuple>

#include "Orvane/ConnectionsController.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using Orvane::ConnectionsController;
using Orvane::NetworkConnection;
using Orvane::NetworkProtocol;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// Names every address "host-<numeric>" unless asked for numeric text, and knows the service of port 443.
class FakeResolver final : public platform::NameResolver {
 public:
  std::string hostName(const sockaddr_in& address, int flags) const override {
    hostFlags.push_back(flags);
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return (flags & NI_NUMERICHOST) != 0 ? text : std::string("host-") + text;
  }
  std::string serviceName(const sockaddr_in& address, int flags) const override {
    serviceFlags.push_back(flags);
    return ntohs(address.sin_port) == 443 ? "https" : std::to_string(ntohs(address.sin_port));
  }
  mutable std::vector<int> hostFlags;
  mutable std::vector<int> serviceFlags;
};

// What a test compares of a connection: protocol, local port, foreign port, foreign host and service.
using Seen = std::tuple<std::optional<NetworkProtocol>, std::optional<std::uint16_t>,
                        std::optional<std::uint16_t>, std::optional<std::string>, std::optional<std::string>>;

std::vector<Seen> seen(const std::vector<std::shared_ptr<NetworkConnection>>& connections) {
  std::vector<Seen> result;
  for (const auto& connection : connections) {
    EXPECT_FALSE(connection->local || connection->localProtocol || connection->foreignProtocol ||
                 connection->internetProtocol);
    result.emplace_back(connection->networkProtocol, connection->localPort, connection->foreignPort,
                        connection->foreign, connection->communicationProtocol);
  }
  return result;
}

constexpr auto tcp = NetworkProtocol::tcp;

TEST(ConnectionsTest, EdgeRowsAndMissingTables) {
  const std::string header = "  sl  local_address rem_address   st tx_queue rx_queue\n";
  auto source = std::make_shared<platform::MemoryTextSource>();
  // 50000 -> 203.0.113.7:443 established; a listener; established with a remote of 0.0.0.0.
  source->setFile("/proc/net/tcp", header +
                                       "   0: 0200000A:C350 077100CB:01BB 01 00000000:00000000\n"
                                       "   1: 00000000:0016 00000000:0000 0A 00000000:00000000\n"
                                       "   2: 0200000A:1F90 00000000:0000 01 00000000:00000000\n");
  // The IPv6 tables hold only their headers, as a machine without IPv6 sockets has them.
  source->setFile("/proc/net/tcp6", header);
  source->setFile("/proc/net/udp6", header);
  auto resolver = std::make_shared<FakeResolver>();
  ConnectionsController controller(source, resolver);
  EXPECT_EQ(controller.connectionCount(), 2u);
  auto listed = controller.connections(false, true);
  EXPECT_THAT(seen(listed),
              ElementsAre(Seen{tcp, 50000, 443, "203.0.113.7", "https"}, Seen{tcp, 8080, {}, {}, {}}));
  // Linux's getnameinfo flags: NI_NUMERICHOST (1) for a numeric host and for every service lookup.
  EXPECT_THAT(resolver->hostFlags, ElementsAre(NI_NUMERICHOST));
  EXPECT_THAT(resolver->serviceFlags, ElementsAre(NI_NUMERICHOST));

  source->remove("/proc/net/tcp");
  EXPECT_EQ(controller.connectionCount(), 0u);
  EXPECT_THAT(controller.connections(true, true), IsEmpty());
}

using Ports = std::pair<std::uint16_t, std::uint16_t>;

// Sockets of a test on the loopback addresses, closed with the object.
class LoopbackSockets {
 public:
  ~LoopbackSockets() {
    for (int fd : fds_) ::close(fd);
  }

  // A socket of `family` bound to (or connected to) the loopback address and `port`, or to "::" when
  // `anyAddress`.
  int open(int family, int type, std::uint16_t port, bool connectTo, bool anyAddress = false) {
    const int fd = fds_.emplace_back(::socket(family, type | SOCK_CLOEXEC, 0));
    const int v6only = anyAddress ? 0 : 1;
    if (family == AF_INET6 && !connectTo) ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &v6only, sizeof v6only);
    sockaddr_in6 v6{AF_INET6, htons(port), 0, anyAddress ? in6addr_any : in6addr_loopback, 0};
    sockaddr_in v4{AF_INET, htons(port), {htonl(INADDR_LOOPBACK)}, {}};
    auto* address = family == AF_INET ? reinterpret_cast<sockaddr*>(&v4) : reinterpret_cast<sockaddr*>(&v6);
    const socklen_t length = family == AF_INET ? sizeof v4 : sizeof v6;
    EXPECT_EQ(connectTo ? ::connect(fd, address, length) : ::bind(fd, address, length), 0);
    return fd;
  }

  // A listener of `listenFamily` (dual-stack on "::" when `dualStack`), a client of `clientFamily`
  // connected to it and the accepted server end: the client's and the server's ports.
  Ports connect(int listenFamily, int clientFamily, bool dualStack = false) {
    const int listener = open(listenFamily, SOCK_STREAM, 0, false, dualStack);
    EXPECT_EQ(::listen(listener, 4), 0);
    const std::uint16_t server = port(listener);
    const std::uint16_t client = port(open(clientFamily, SOCK_STREAM, server, true));
    fds_.push_back(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
    return {client, server};
  }

  static std::uint16_t port(int fd) {
    sockaddr_in6 address{};  // the port sits at the same offset in both families
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin6_port);
  }

 private:
  std::vector<int> fds_;
};

// The (local, peer) ports of the IPv4 lines (IPv4-mapped ones included) of `ss -H<options> state
// established`, and the count of all its lines.
std::pair<std::set<Ports>, size_t> ssEstablished(const std::string& options) {
  std::istringstream lines(networktest::commandOutput("ss -H" + options + " state established"));
  std::set<Ports> ipv4;
  size_t count = 0;
  auto port = [](const std::string& endpoint) {
    return static_cast<std::uint16_t>(std::stoi(endpoint.substr(endpoint.rfind(':') + 1)));
  };
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string receiveQueue, sendQueue, local, peer;
    if (!(fields >> receiveQueue >> sendQueue >> local >> peer)) continue;
    ++count;
    if (local.front() != '[' || local.starts_with("[::ffff:")) ipv4.emplace(port(local), port(peer));
  }
  return {ipv4, count};
}

// The live list against ss for the loopback connections this test opens: an IPv4 pair, an IPv6 pair, an
// IPv4 client of a dual-stack listener, and a connected UDP socket. Other programs may open or close
// connections in between, so the totals may differ by 2.
TEST(ConnectionsTest, LiveListAgreesWithSsForOwnLoopbackConnections) {
  LoopbackSockets sockets;
  const Ports v4 = sockets.connect(AF_INET, AF_INET);
  sockets.connect(AF_INET6, AF_INET6);
  const Ports mapped = sockets.connect(AF_INET6, AF_INET, true);
  const Ports datagram{LoopbackSockets::port(sockets.open(AF_INET, SOCK_DGRAM, 9, true)), 9};

  // Other programs (tests running in parallel) open and close loopback connections between the two reads;
  // read both again until a pair was taken while the machine was quiet.
  ConnectionsController controller;
  std::vector<std::shared_ptr<NetworkConnection>> listed;
  std::uint32_t count = 0;
  std::set<Ports> tcpSs, udpSs;
  std::size_t tcpCount = 0, udpCount = 0;
  for (int attempt = 0; attempt < 10; ++attempt) {
    listed = controller.connections(false, false);
    count = controller.connectionCount();
    std::tie(tcpSs, tcpCount) = ssEstablished("tn");
    std::tie(udpSs, udpCount) = ssEstablished("un");
    const double seen = static_cast<double>(tcpCount + udpCount);
    if (std::abs(static_cast<double>(listed.size()) - seen) <= 2 && std::abs(count - seen) <= 2) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
  }

  std::set<Ports> tcpListed, udpListed;
  size_t ipv6Only = 0;
  for (const auto& connection : listed) {
    if (!connection->localPort) {
      ++ipv6Only;
      continue;
    }
    ASSERT_TRUE(connection->foreignPort.has_value());
    EXPECT_EQ(connection->foreign, "127.0.0.1");
    (connection->networkProtocol == tcp ? tcpListed : udpListed)
        .emplace(*connection->localPort, *connection->foreignPort);
  }
  for (const Ports& ports : {v4, Ports{v4.second, v4.first}, mapped, Ports{mapped.second, mapped.first}}) {
    EXPECT_TRUE(tcpListed.contains(ports)) << ports.first << "->" << ports.second;
    EXPECT_TRUE(tcpSs.contains(ports)) << ports.first << "->" << ports.second;
  }
  EXPECT_TRUE(udpListed.contains(datagram));
  EXPECT_TRUE(udpSs.contains(datagram));
  EXPECT_GE(ipv6Only, 2u);
  EXPECT_NEAR(listed.size(), tcpCount + udpCount, 2);
  EXPECT_NEAR(count, tcpCount + udpCount, 2);

  // With host names: getnameinfo finds 127.0.0.1 as "localhost" in /etc/hosts.
  for (const auto& connection : controller.connections(true, false)) {
    if (connection->localPort == v4.first && connection->foreignPort == v4.second) {
      EXPECT_EQ(connection->foreign, "localhost");
    }
  }
}

}  // namespace
