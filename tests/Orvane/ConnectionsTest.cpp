#include <arpa/inet.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "Orvane/ConnectionsController.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"

using Orvane::ConnectionsController;
using Orvane::NetworkConnection;
using Orvane::NetworkProtocol;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// Names every address "host-<numeric>" unless asked for numeric text, and knows two services.
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
    static const std::map<int, std::string> services = {{53, "domain"}, {443, "https"}};
    auto found = services.find(ntohs(address.sin_port));
    return found != services.end() ? found->second : std::to_string(ntohs(address.sin_port));
  }
  mutable std::vector<int> hostFlags;
  mutable std::vector<int> serviceFlags;
};

// What a test compares of a connection.
struct Seen {
  std::optional<NetworkProtocol> protocol;
  std::optional<std::uint16_t> localPort;
  std::optional<std::uint16_t> foreignPort;
  std::optional<std::string> foreign;
  std::optional<std::string> service;
  bool operator==(const Seen&) const = default;
  friend std::ostream& operator<<(std::ostream& out, const Seen& seen) {
    return out << (seen.protocol == NetworkProtocol::tcp ? "tcp " : "udp ") << seen.localPort.value_or(0)
               << "->" << seen.foreign.value_or("?") << ":" << seen.foreignPort.value_or(0) << " "
               << seen.service.value_or("");
  }
};

std::vector<Seen> seen(const std::vector<std::shared_ptr<NetworkConnection>>& connections) {
  std::vector<Seen> result;
  for (const auto& connection : connections) {
    EXPECT_FALSE(connection->local || connection->localProtocol || connection->foreignProtocol ||
                 connection->internetProtocol);
    result.push_back({connection->networkProtocol, connection->localPort, connection->foreignPort,
                      connection->foreign, connection->communicationProtocol});
  }
  return result;
}

constexpr auto tcp = NetworkProtocol::tcp;
constexpr auto udp = NetworkProtocol::udp;
constexpr auto none = std::nullopt;

TEST(ConnectionsTest, RecordedTablesListEveryEstablishedRowInTableOrder) {
  auto resolver = std::make_shared<FakeResolver>();
  ConnectionsController controller(
      std::make_shared<platform::FileTreeTextSource>(networktest::fixture("host")), resolver);
  EXPECT_EQ(controller.connectionCount(), 8u);
  // tcp, then tcp6 (with the IPv4-mapped server end of a dual-stack listener), udp and udp6. Listening and
  // unconnected sockets are left out; IPv6 sockets carry only their protocol.
  EXPECT_THAT(
      seen(controller.connections(false, false)),
      ElementsAre(Seen{tcp, 36703, 38286, "127.0.0.1", none}, Seen{tcp, 50066, 43001, "127.0.0.1", none},
                  Seen{tcp, 38286, 36703, "127.0.0.1", none}, Seen{tcp, none, none, none, none},
                  Seen{tcp, 43001, 50066, "127.0.0.1", none}, Seen{tcp, none, none, none, none},
                  Seen{udp, 56763, 53, "127.0.0.1", none}, Seen{udp, none, none, none, none}));
  // Linux's getnameinfo flags: NI_NUMERICHOST (1) for numeric hosts and for every service lookup.
  EXPECT_THAT(resolver->hostFlags, testing::Each(NI_NUMERICHOST));
  EXPECT_THAT(resolver->serviceFlags, IsEmpty());

  resolver->hostFlags.clear();
  auto resolved = controller.connections(true, true);
  EXPECT_THAT(resolver->hostFlags, ElementsAre(0, 0, 0, 0, 0));
  EXPECT_THAT(resolver->serviceFlags, ElementsAre(1, 1, 1, 1, 1));
  EXPECT_EQ(seen({resolved[6]}).front(), (Seen{udp, 56763, 53, "host-127.0.0.1", "domain"}));
  EXPECT_TRUE(resolved[3]->isBlank());
  EXPECT_FALSE(resolved[0]->isBlank());
}

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
  ConnectionsController controller(source, std::make_shared<FakeResolver>());
  EXPECT_EQ(controller.connectionCount(), 2u);
  auto listed = controller.connections(false, true);
  EXPECT_THAT(seen(listed),
              ElementsAre(Seen{tcp, 50000, 443, "203.0.113.7", "https"}, Seen{tcp, 8080, none, none, none}));
  EXPECT_FALSE(listed[1]->isBlank());

  source->remove("/proc/net/tcp");
  EXPECT_EQ(controller.connectionCount(), 0u);
  EXPECT_THAT(controller.connections(true, true), IsEmpty());
  std::vector<std::shared_ptr<NetworkConnection>> list;
  controller.readPcbList("/proc/net/no-such-table", true, false, false, list);
  EXPECT_THAT(list, IsEmpty());
}

// A socket that closes itself.
class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(Socket&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  int fd() const { return fd_; }
  std::uint16_t port() const {
    sockaddr_in6 address{};  // the port sits at the same offset in both families
    socklen_t length = sizeof address;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin6_port);
  }

 private:
  int fd_;
};

// Binds `fd` to, or connects it to, the loopback address of `family` and `port` ("::" instead of "::1"
// when `anyAddress`).
bool bindOrConnect(int fd, int family, std::uint16_t port, bool connectTo, bool anyAddress = false) {
  sockaddr_in6 v6{};
  sockaddr_in v4{};
  v6.sin6_family = AF_INET6;
  v6.sin6_port = htons(port);
  v6.sin6_addr = anyAddress ? in6addr_any : in6addr_loopback;
  v4.sin_family = AF_INET;
  v4.sin_port = htons(port);
  v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  auto* address = family == AF_INET ? reinterpret_cast<sockaddr*>(&v4) : reinterpret_cast<sockaddr*>(&v6);
  socklen_t length = family == AF_INET ? sizeof v4 : sizeof v6;
  return (connectTo ? ::connect(fd, address, length) : ::bind(fd, address, length)) == 0;
}

// A listener on the loopback address of `listenFamily` (or dual-stack on "::"), a client of `clientFamily`
// connected to it and the accepted server end.
struct LoopbackConnection {
  std::vector<Socket> sockets;
  std::uint16_t clientPort = 0;
  std::uint16_t serverPort = 0;
};

LoopbackConnection connectOverLoopback(int listenFamily, int clientFamily, bool dualStack = false) {
  LoopbackConnection connection;
  Socket listener(::socket(listenFamily, SOCK_STREAM | SOCK_CLOEXEC, 0));
  int v6only = dualStack ? 0 : 1;
  if (listenFamily == AF_INET6)
    ::setsockopt(listener.fd(), IPPROTO_IPV6, IPV6_V6ONLY, &v6only, sizeof v6only);
  EXPECT_TRUE(bindOrConnect(listener.fd(), listenFamily, 0, false, dualStack));
  EXPECT_EQ(::listen(listener.fd(), 4), 0);
  connection.serverPort = listener.port();
  Socket client(::socket(clientFamily, SOCK_STREAM | SOCK_CLOEXEC, 0));
  EXPECT_TRUE(bindOrConnect(client.fd(), clientFamily, connection.serverPort, true));
  connection.clientPort = client.port();
  Socket server(::accept4(listener.fd(), nullptr, nullptr, SOCK_CLOEXEC));
  connection.sockets.push_back(std::move(listener));
  connection.sockets.push_back(std::move(client));
  connection.sockets.push_back(std::move(server));
  return connection;
}

// "Recv-Q Send-Q local:port peer:port" lines of `ss -H<tn|un> state established`, as (local, peer) ports of
// the IPv4 ones (IPv4-mapped ones included) and a count of all.
struct SsConnections {
  std::set<std::pair<std::uint16_t, std::uint16_t>> ipv4;
  size_t count = 0;
};

SsConnections ssEstablished(const char* options) {
  std::string command = std::string("ss -H") + options + " state established";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  SsConnections result;
  char line[1024];
  while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    std::istringstream fields(line);
    std::string receiveQueue, sendQueue, local, peer;
    if (!(fields >> receiveQueue >> sendQueue >> local >> peer)) continue;
    ++result.count;
    auto port = [](const std::string& endpoint) {
      return static_cast<std::uint16_t>(std::stoi(endpoint.substr(endpoint.rfind(':') + 1)));
    };
    bool ipv4 = local.front() != '[' || local.starts_with("[::ffff:");
    if (ipv4) result.ipv4.emplace(port(local), port(peer));
  }
  return result;
}

// The live list against ss for the loopback connections this test opens: an IPv4 pair, an IPv6 pair, an
// IPv4 client of a dual-stack listener, and a connected UDP socket. Other programs may open or close
// connections in between, so the totals may differ by 2.
TEST(ConnectionsTest, LiveListAgreesWithSsForOwnLoopbackConnections) {
  auto v4 = connectOverLoopback(AF_INET, AF_INET);
  auto v6 = connectOverLoopback(AF_INET6, AF_INET6);
  auto mapped = connectOverLoopback(AF_INET6, AF_INET, true);
  Socket datagram(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
  ASSERT_TRUE(bindOrConnect(datagram.fd(), AF_INET, 9, true));

  ConnectionsController controller;
  auto listed = controller.connections(false, false);
  std::uint32_t count = controller.connectionCount();
  SsConnections tcpSs = ssEstablished("tn");
  SsConnections udpSs = ssEstablished("un");

  std::set<std::pair<std::uint16_t, std::uint16_t>> tcpListed;
  std::set<std::pair<std::uint16_t, std::uint16_t>> udpListed;
  size_t ipv6Only = 0;
  for (const auto& connection : listed) {
    if (!connection->localPort) {
      ++ipv6Only;
      continue;
    }
    ASSERT_TRUE(connection->foreignPort.has_value());
    EXPECT_EQ(connection->foreign, "127.0.0.1");
    auto& into = connection->networkProtocol == NetworkProtocol::tcp ? tcpListed : udpListed;
    into.emplace(*connection->localPort, *connection->foreignPort);
  }
  for (const auto& ports : {std::pair{v4.clientPort, v4.serverPort},
                            {v4.serverPort, v4.clientPort},
                            {mapped.clientPort, mapped.serverPort},
                            {mapped.serverPort, mapped.clientPort}}) {
    EXPECT_TRUE(tcpListed.contains(ports)) << ports.first << "->" << ports.second;
    EXPECT_TRUE(tcpSs.ipv4.contains(ports)) << ports.first << "->" << ports.second;
  }
  std::pair<std::uint16_t, std::uint16_t> udpPorts{datagram.port(), 9};
  EXPECT_TRUE(udpListed.contains(udpPorts));
  EXPECT_TRUE(udpSs.ipv4.contains(udpPorts));
  EXPECT_GE(ipv6Only, 2u);

  auto near = [](size_t ours, size_t reference) { return ours + 2 >= reference && reference + 2 >= ours; };
  EXPECT_TRUE(near(listed.size(), tcpSs.count + udpSs.count))
      << listed.size() << " vs ss " << tcpSs.count + udpSs.count;
  EXPECT_TRUE(near(count, tcpSs.count + udpSs.count)) << count;

  // With host names: getnameinfo finds 127.0.0.1 as "localhost" in /etc/hosts.
  for (const auto& connection : controller.connections(true, false)) {
    if (connection->localPort == v4.clientPort && connection->foreignPort == v4.serverPort) {
      EXPECT_EQ(connection->foreign, "localhost");
    }
  }
}

}  // namespace
