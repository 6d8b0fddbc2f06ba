#include "Orvane/Ping/Ping.hpp"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <string>

#include "Orvane/Ping/IcmpPacket.hpp"
#include "tests/Orvane/PrivateNetworkNamespace.hpp"

namespace {

using namespace std::chrono_literals;
using Orvane::Ping;
using Orvane::PingError;
using Bytes = std::vector<std::byte>;

Bytes bytes(std::initializer_list<int> values) {
  Bytes result;
  for (int value : values) result.push_back(std::byte(value));
  return result;
}

// What the delegate heard, one line per call: "start", "sent 3", "send failed 3 <code>", "reply 3",
// "unexpected <size>", "failed <domain> <code> [<key>=<value>]".
struct Recorder : Orvane::PingDelegate {
  std::vector<std::string> heard;
  Bytes lastPacket;
  void didStartWithAddress(Ping&, const Bytes&) override { heard.push_back("start"); }
  void didFailWithError(Ping&, const PingError& error) override {
    heard.push_back("failed " + error.domain + " " + std::to_string(error.code));
    for (const auto& [key, value] : error.userInfo) heard.back() += " " + key + "=" + std::to_string(value);
  }
  void didSendPacket(Ping&, const Bytes& packet, std::uint16_t sequence) override {
    lastPacket = packet;
    heard.push_back("sent " + std::to_string(sequence));
  }
  void didFailToSendPacket(Ping&, const Bytes&, std::uint16_t sequence, const PingError& error) override {
    heard.push_back("send failed " + std::to_string(sequence) + " " + std::to_string(error.code));
  }
  void didReceivePingResponsePacket(Ping&, const Bytes& packet, std::uint16_t sequence) override {
    lastPacket = packet;
    heard.push_back("reply " + std::to_string(sequence));
  }
  void didReceiveUnexpectedPacket(Ping&, const Bytes& packet) override {
    heard.push_back("unexpected " + std::to_string(packet.size()));
  }
};

Bytes socketAddress(int family, const char* text) {
  sockaddr_in6 address{};  // large enough for both families; an IPv4 address is its first 16 bytes
  address.sin6_family = static_cast<sa_family_t>(family);
  inet_pton(
      family, text,
      family == AF_INET6 ? static_cast<void*>(&address.sin6_addr) : &reinterpret_cast<sockaddr_in&>(address).sin_addr);
  const auto* begin = reinterpret_cast<const std::byte*>(&address);
  return Bytes(begin, begin + (family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in)));
}

// A socket pair stands in for the ICMP socket: what the Ping sends arrives at `peer`, what the test writes
// to `peer` the Ping receives; `receiveResult` replaces the next receive's result when set.
struct PairSocket : platform::IcmpSocket {
  int ends[2] = {-1, -1};
  std::optional<ssize_t>* receiveResult;
  explicit PairSocket(std::optional<ssize_t>* result) : receiveResult(result) {
    ::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, ends);
  }
  ~PairSocket() override { ::close(ends[0]), ::close(ends[1]); }
  int descriptor() const override { return ends[0]; }
  ssize_t sendTo(std::span<const std::byte> packet, std::span<const std::byte>) override {
    return ::send(ends[0], packet.data(), packet.size(), 0);
  }
  ssize_t receive(std::span<std::byte> buffer) override {
    if (auto result = std::exchange(*receiveResult, std::nullopt)) return *result;
    const ssize_t received = ::recv(ends[0], buffer.data(), buffer.size(), 0);
    return received < 0 ? -errno : received;
  }
};

class PingTest : public testing::Test {
 protected:
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
  platform::HostResolution resolution{{socketAddress(AF_INET, "127.0.0.1")}, 0};
  int openError = 0;
  std::optional<ssize_t> receiveResult;
  PairSocket* socket = nullptr;
  std::shared_ptr<Ping> ping;

  void start(Orvane::PingAddressStyle style = Orvane::PingAddressStyle::any) {
    Ping::Platform fake;
    fake.resolve = [this](const std::string&) { return resolution; };
    fake.openSocket = [this](int, std::uint16_t, int& error) -> std::unique_ptr<platform::IcmpSocket> {
      if ((error = openError) != 0) return nullptr;
      auto made = std::make_unique<PairSocket>(&receiveResult);
      socket = made.get();
      return made;
    };
    ping = Ping::create("example.test", fake);
    ping->setDelegate(recorder);
    ping->setAddressStyle(style);
    ping->start();
    platform::RunLoop::current().runUntil([&] { return !ping->isResolving(); }, 2s);
  }
  // Puts `packet` on the wire towards the Ping and lets its run loop read it.
  void arrive(const Bytes& packet) {
    ASSERT_EQ(::send(socket->ends[1], packet.data(), packet.size(), 0), ssize_t(packet.size()));
    platform::RunLoop::current().runOnce(100ms);
  }
  Bytes sentPacket() const {
    Bytes packet(100);
    packet.resize(std::max<ssize_t>(0, ::recv(socket->ends[1], packet.data(), packet.size(), 0)));
    return packet;
  }
  // An echo reply to this Ping, with the IPv4 checksum, optionally behind a 20-byte IPv4 header.
  Bytes reply(std::uint16_t sequence, bool withIpHeader = false, int type = 0) const {
    Bytes packet =
        Orvane::IcmpPacket::echoRequest(std::uint8_t(type), ping->identifier(), sequence, bytes({1, 2}), true);
    Bytes header(withIpHeader ? 20 : 0);
    if (withIpHeader) header[0] = std::byte(0x45), header[9] = std::byte(IPPROTO_ICMP);
    packet.insert(packet.begin(), header.begin(), header.end());
    return packet;
  }
};

TEST(IcmpPacketTest, ChecksumsPayloadsAndTheHeaderOffset) {
  EXPECT_EQ(ntohs(Orvane::IcmpPacket::checksum(bytes({0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7}))), 0x220d);
  EXPECT_EQ(ntohs(Orvane::IcmpPacket::checksum(bytes({0x01}))), 0xfeff);
  const auto text = [](std::uint16_t sequence) {
    const Bytes payload = Orvane::IcmpPacket::defaultPayload(sequence);
    return std::string(reinterpret_cast<const char*>(payload.data()), payload.size());
  };
  EXPECT_EQ(text(0), std::string(26, ' ') + "99 bottles of beer on the wall");
  EXPECT_EQ(text(100), text(0));
  EXPECT_EQ(text(5), std::string(26, ' ') + "94 bottles of beer on the wall");
  Bytes ipv4(28);
  ipv4[0] = std::byte(0x46), ipv4[9] = std::byte(1);
  EXPECT_EQ(Ping::icmpHeaderOffsetInIPv4Packet(ipv4), Ping::notFound);  // 24 + 8 > 28
  ipv4.resize(32);
  EXPECT_EQ(Ping::icmpHeaderOffsetInIPv4Packet(ipv4), 24);
  ipv4[9] = std::byte(17);
  EXPECT_EQ(Ping::icmpHeaderOffsetInIPv4Packet(ipv4), Ping::notFound);
  EXPECT_EQ(Ping::icmpHeaderOffsetInIPv4Packet(Bytes(27, std::byte(0x45))), Ping::notFound);
}

TEST_F(PingTest, SendsChecksummedRequestsAndWrapsTheSequence) {
  start();
  ASSERT_EQ(recorder->heard, std::vector<std::string>{"start"});
  ping->sendPingWithData(std::nullopt);
  const Bytes packet = sentPacket();
  ASSERT_EQ(packet.size(), 64u);
  EXPECT_EQ(packet, recorder->lastPacket);
  EXPECT_EQ(bytes({8, 0}), Bytes(packet.begin(), packet.begin() + 2));
  EXPECT_EQ(Orvane::IcmpPacket::checksum(packet), 0);  // a correct checksum sums to zero
  EXPECT_EQ(Orvane::IcmpPacket::field(packet, 4), ping->identifier());
  ping->setNextSequenceNumber(65535);
  ping->sendPingWithData(bytes({7}));
  EXPECT_EQ(sentPacket().size(), 9u);
  EXPECT_EQ(recorder->heard.back(), "sent 65535");
  EXPECT_EQ(ping->nextSequenceNumber(), 0);
  EXPECT_TRUE(ping->nextSequenceNumberHasWrapped());
}

TEST_F(PingTest, ValidatesIpv4RepliesWithAndWithoutHeaderAndTheSequenceWindow) {
  start();
  ping->setNextSequenceNumber(3);
  arrive(reply(2));
  arrive(reply(2, true));
  EXPECT_EQ(recorder->lastPacket.size(), 10u);  // the IP header removed
  arrive(reply(3));                             // not sent yet
  Bytes corrupted = reply(1, true);
  corrupted[29] ^= std::byte(1);
  arrive(corrupted);
  arrive(reply(1, false, 8));
  ping->setNextSequenceNumber(5);
  ping->setNextSequenceNumberHasWrapped(true);
  arrive(reply(65422));
  arrive(reply(5));
  arrive(reply(65421));
  EXPECT_EQ(recorder->heard, (std::vector<std::string>{"start", "reply 2", "reply 2", "unexpected 10", "unexpected 30",
                                                       "unexpected 10", "reply 65422", "reply 5", "unexpected 10"}));
}

TEST_F(PingTest, Ipv6RepliesSkipTheChecksumAndRequestsCarryNone) {
  resolution.addresses = {socketAddress(AF_INET, "127.0.0.1"), socketAddress(AF_INET6, "::1")};
  start(Orvane::PingAddressStyle::icmpv6);
  EXPECT_EQ(ping->hostAddressFamily(), AF_INET6);
  ping->sendPingWithData(std::nullopt);
  Bytes answer = sentPacket();
  EXPECT_EQ(bytes({128, 0, 0, 0}), Bytes(answer.begin(), answer.begin() + 4));
  answer[0] = std::byte(129), answer[2] = std::byte(0x55);
  arrive(answer);
  EXPECT_EQ(recorder->heard.back(), "reply 0");
}

TEST_F(PingTest, ErrorTable) {
  const std::string network = PingError::networkDomain, posix = PingError::posixDomain;
  resolution = {{}, EAI_NONAME};
  start();
  EXPECT_EQ(recorder->heard.back(),
            "failed " + network + " 2 " + PingError::getAddrInfoFailureKey + "=" + std::to_string(EAI_NONAME));
  resolution = {{socketAddress(AF_INET, "127.0.0.1")}, 0};
  start(Orvane::PingAddressStyle::icmpv6);
  EXPECT_EQ(recorder->heard.back(), "failed " + network + " 1");
  openError = EACCES;
  start();
  EXPECT_EQ(recorder->heard.back(), "failed " + posix + " 13");
  EXPECT_FALSE(ping->hostAddress());
  openError = 0;
  start();
  ping->stop();
  ping->setHostAddress(socketAddress(AF_INET, "127.0.0.1"));
  ping->sendPingWithData(std::nullopt);
  EXPECT_EQ(recorder->heard.back(), "send failed 0 9");
}

TEST_F(PingTest, ReceiveFailuresStopItButASpuriousWakeUpDoesNot) {
  for (const ssize_t result : {ssize_t(-EAGAIN), ssize_t(-EINTR), ssize_t(0)}) {
    start();
    receiveResult = result;
    arrive(reply(0));
  }
  const std::string epipe = std::string("failed ") + PingError::posixDomain + " 32";
  EXPECT_EQ(recorder->heard, (std::vector<std::string>{"start", "start", "start", epipe}));
  EXPECT_EQ(ping->socketDescriptor(), -1);
  std::mt19937 random(7);
  start();
  for (int round = 0; round < 500; ++round) {  // random and truncated packets, under the sanitizers
    Bytes packet = reply(std::uint16_t(random()), round % 2);
    packet.resize(random() % (packet.size() + 1));
    for (auto& byte : packet) byte ^= std::byte(random() % 4 == 0 ? random() : 0);
    if (!packet.empty()) arrive(packet);
  }
  EXPECT_GE(ping->socketDescriptor(), 0);
}

// Ten echoes to a loopback address in a private namespace, with the ICMP socket group range as given.
std::vector<std::string> echoes(const char* host, const char* groupRange, Orvane::PingAddressStyle style) {
  networktest::PrivateNetworkNamespace space;
  if (!space.created() || !space.ip("link set lo up") ||
      !space.exec(std::string("sysctl -qw net.ipv4.ping_group_range='") + groupRange + "'") || !space.enter()) {
    return {"no namespace"};
  }
  auto recorder = std::make_shared<Recorder>();
  auto ping = Ping::create(host);
  ping->setDelegate(recorder);
  ping->setAddressStyle(style);
  ping->start();
  auto& loop = platform::RunLoop::current();
  loop.runUntil([&] { return !ping->isResolving(); }, 2s);
  for (int sent = 0; ping->socketDescriptor() >= 0 && sent < 10; ++sent) {
    ping->sendPingWithData(std::nullopt);
    loop.runUntil([&] { return recorder->heard.back().starts_with("reply"); }, 1s);
  }
  ping->stop();
  return recorder->heard;
}

TEST(PingLiveTest, TenEchoesToLoopbackOverIpv4AndIpv6) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to create a network namespace (ip netns add)";
  std::vector<std::string> expected = {"start"};
  for (int sequence = 0; sequence < 10; ++sequence) {
    expected.push_back("sent " + std::to_string(sequence));
    expected.push_back("reply " + std::to_string(sequence));
  }
  EXPECT_EQ(echoes("127.0.0.1", "0 2147483647", Orvane::PingAddressStyle::any), expected);
  EXPECT_EQ(echoes("::1", "0 2147483647", Orvane::PingAddressStyle::any), expected);
  const std::string failed = std::string("failed ") + PingError::posixDomain + " 13";
  EXPECT_EQ(echoes("127.0.0.1", "1 0", Orvane::PingAddressStyle::any), std::vector<std::string>{failed});
  EXPECT_EQ(echoes("127.0.0.1", "0 2147483647", Orvane::PingAddressStyle::icmpv6),
            std::vector<std::string>{std::string("failed ") + PingError::networkDomain + " 1"});
}

TEST(PingDeathTest, PreconditionsAreFatal) {
  EXPECT_DEATH(Ping::create(std::nullopt), "Fatal error: Ping: a host name is required");
  EXPECT_DEATH(
      {
        auto ping = Ping::create("localhost");
        ping->start();
        ping->start();
      },
      "Fatal error: Ping.start: already started");
  EXPECT_DEATH(Ping::create("localhost")->sendPingWithData(std::nullopt), "no IPv4 or IPv6 host address");
}

}  // namespace
