#include <gtest/gtest.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <random>
#include <string>

#include "Orvane/Ping/IcmpPacket.hpp"
#include "Orvane/Ping/Ping.hpp"
#include "tests/Orvane/PrivateNetworkNamespace.hpp"

namespace {

using namespace std::chrono_literals;
namespace IcmpPacket = Orvane::IcmpPacket;
using Orvane::Ping;
using Orvane::PingError;
using Style = Orvane::PingAddressStyle;
using Bytes = std::vector<std::byte>;
using Lines = std::vector<std::string>;

Bytes bytes(auto... values) { return {std::byte(values)...}; }

// The socket address of an address literal, as getaddrinfo gives it (nothing is looked up).
Bytes socketAddress(const char* literal) { return platform::resolveHost(literal).addresses.at(0); }

std::string failed(const std::string& domain, int code) {
  return "failed " + domain + " " + std::to_string(code);
}

// What the delegate heard, one line per call: "start", "sent 3", "send failed 3 <code>", "reply 3",
// "unexpected <size>", "failed <domain> <code>[ <key>=<value>]"; and the last packet sent or replied.
struct Recorder : Orvane::PingDelegate {
  Lines heard;
  Bytes lastPacket;
  void hear(const std::string& what, std::uint16_t sequence, const Bytes& packet) {
    heard.push_back(what + " " + std::to_string(sequence));
    lastPacket = packet;
  }
  void didStartWithAddress(Ping&, const Bytes&) override { heard.push_back("start"); }
  void didFailWithError(Ping&, const PingError& error) override {
    heard.push_back(failed(error.domain, int(error.code)));
    for (const auto& [key, value] : error.userInfo) heard.back() += " " + key + "=" + std::to_string(value);
  }
  void didSendPacket(Ping&, const Bytes& packet, std::uint16_t n) override { hear("sent", n, packet); }
  void didFailToSendPacket(Ping&, const Bytes& packet, std::uint16_t n, const PingError& error) override {
    hear("send failed", n, packet);
    heard.back() += " " + std::to_string(error.code);
  }
  void didReceivePingResponsePacket(Ping&, const Bytes& packet, std::uint16_t n) override {
    hear("reply", n, packet);
  }
  void didReceiveUnexpectedPacket(Ping&, const Bytes& packet) override {
    heard.push_back("unexpected " + std::to_string(packet.size()));
  }
};

// A socket pair stands in for the ICMP socket: what the test writes to ends[1] the Ping receives; `forced`
// replaces the next receive's result when set. Sends always succeed.
struct PairSocket : platform::IcmpSocket {
  int ends[2] = {-1, -1};
  std::optional<ssize_t>& forced;
  explicit PairSocket(std::optional<ssize_t>& result) : forced(result) {
    ::socketpair(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK, 0, ends);
  }
  ~PairSocket() override { ::close(ends[0]), ::close(ends[1]); }
  int descriptor() const override { return ends[0]; }
  ssize_t sendTo(std::span<const std::byte> packet, std::span<const std::byte>) override {
    return packet.size();
  }
  ssize_t receive(std::span<std::byte> buffer) override {
    if (auto result = std::exchange(forced, std::nullopt)) return *result;
    const ssize_t received = ::recv(ends[0], buffer.data(), buffer.size(), 0);
    return received < 0 ? -errno : received;
  }
};

class PingTest : public testing::Test {
 protected:
  std::shared_ptr<Recorder> recorder = std::make_shared<Recorder>();
  platform::HostResolution resolution{{socketAddress("127.0.0.1")}, 0};
  int openError = 0;
  std::optional<ssize_t> forced;
  PairSocket* socket = nullptr;
  std::shared_ptr<Ping> ping;

  // A new Ping on the fake resolver and socket, started and resolved.
  void start(Style style = Style::any) {
    Ping::Platform fake;
    fake.resolve = [this](const std::string&) { return resolution; };
    fake.openSocket = [this](int, std::uint16_t, int& error) -> std::unique_ptr<platform::IcmpSocket> {
      if ((error = openError) != 0) return nullptr;
      auto made = std::make_unique<PairSocket>(forced);
      socket = made.get();
      return made;
    };
    ping = Ping::create("example.test", fake);
    ping->setDelegate(recorder);
    ping->setAddressStyle(style);
    ping->start();
    platform::RunLoop::current().runUntil([&] { return !ping->isResolving(); }, 2s);
  }
  void arrive(const Bytes& packet) {
    ASSERT_EQ(::send(socket->ends[1], packet.data(), packet.size(), 0), ssize_t(packet.size()));
    platform::RunLoop::current().runOnce(100ms);
  }
  // An echo reply to this Ping with a correct IPv4 checksum, behind a 20-byte IPv4 header when asked.
  Bytes reply(std::uint16_t sequence, bool withIpHeader = false, int type = 0) const {
    Bytes packet =
        IcmpPacket::echoRequest(std::uint8_t(type), ping->identifier(), sequence, bytes(1, 2), true);
    if (withIpHeader) packet.insert(packet.begin(), 20, std::byte(0)), packet[0] = std::byte(0x45);
    if (withIpHeader) packet[9] = std::byte(IPPROTO_ICMP);
    return packet;
  }
};

TEST(IcmpPacketTest, ChecksumsPayloadsAndTheHeaderOffset) {
  EXPECT_EQ(ntohs(IcmpPacket::checksum(bytes(0x00, 0x01, 0xf2, 0x03, 0xf4, 0xf5, 0xf6, 0xf7))), 0x220d);
  EXPECT_EQ(ntohs(IcmpPacket::checksum(bytes(0x01))), 0xfeff);
  for (const auto& [sequence, number] : {std::pair(0, "99"), {100, "99"}, {5, "94"}}) {
    const Bytes payload = IcmpPacket::defaultPayload(std::uint16_t(sequence));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(payload.data()), payload.size()),
              std::string(26, ' ') + number + " bottles of beer on the wall");
  }
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
  ping->sendPingWithData(std::nullopt);
  const Bytes packet = recorder->lastPacket;
  ASSERT_EQ(packet.size(), 64u);
  EXPECT_EQ(bytes(8, 0), Bytes(packet.begin(), packet.begin() + 2));
  EXPECT_EQ(IcmpPacket::checksum(packet), 0);  // a correct checksum sums to zero
  EXPECT_EQ(IcmpPacket::field(packet, 4), ping->identifier());
  ping->setNextSequenceNumber(65535);
  ping->sendPingWithData(bytes(7));
  EXPECT_EQ(recorder->lastPacket.size(), 9u);
  EXPECT_EQ(recorder->heard, (Lines{"start", "sent 0", "sent 65535"}));
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
  for (const int sequence : {65422, 5, 65421}) arrive(reply(std::uint16_t(sequence)));
  EXPECT_EQ(recorder->heard, (Lines{"start", "reply 2", "reply 2", "unexpected 10", "unexpected 30",
                                    "unexpected 10", "reply 65422", "reply 5", "unexpected 10"}));
}

TEST_F(PingTest, ErrorTable) {
  openError = EACCES;
  start();
  EXPECT_EQ(recorder->heard.back(), failed(PingError::posixDomain, 13));
  EXPECT_FALSE(ping->hostAddress());
  openError = 0;
  start();
  ping->stop();
  ping->setHostAddress(socketAddress("127.0.0.1"));
  ping->sendPingWithData(std::nullopt);
  EXPECT_EQ(recorder->heard.back(), "send failed 0 9");
  resolution = {{}, EAI_NONAME};
  start();
  EXPECT_EQ(recorder->heard.back(), failed(PingError::networkDomain, 2) + " " +
                                        PingError::getAddrInfoFailureKey + "=" + std::to_string(EAI_NONAME));
}

TEST_F(PingTest, ReceiveFailuresStopItButSpuriousWakeUpsDamagedPacketsAndIpv6ChecksumsDoNot) {
  for (const ssize_t result : {ssize_t(-EAGAIN), ssize_t(-EINTR), ssize_t(0)}) {
    start();
    forced = result;
    arrive(reply(0));
  }
  EXPECT_EQ(recorder->heard, (Lines{"start", "start", "start", failed(PingError::posixDomain, 32)}));
  EXPECT_EQ(ping->socketDescriptor(), -1);
  resolution.addresses.push_back(socketAddress("::1"));
  std::mt19937 random(7);
  for (const Style style : {Style::icmpv4, Style::icmpv6}) {
    start(style);
    for (int round = 0; round < 500; ++round) {  // random and truncated packets, under the sanitizers
      Bytes packet = reply(std::uint16_t(random()), round % 2);
      packet.resize(random() % (packet.size() + 1));
      for (auto& byte : packet) byte ^= std::byte(random() % 4 == 0 ? random() : 0);
      if (!packet.empty()) arrive(packet);
    }
    EXPECT_GE(ping->socketDescriptor(), 0);
  }
  // IPv6 requests carry no checksum, and replies are taken without checking theirs.
  ping->sendPingWithData(std::nullopt);
  Bytes answer = recorder->lastPacket;
  EXPECT_EQ(bytes(128, 0, 0, 0), Bytes(answer.begin(), answer.begin() + 4));
  answer[0] = std::byte(129), answer[2] = std::byte(0x55);
  arrive(answer);
  EXPECT_EQ(recorder->heard.back(), "reply 0");
}

// Ten echoes to a loopback address in a private namespace, with the ICMP socket group range as given.
Lines echoes(const char* host, const char* groupRange, Style style = Style::any) {
  networktest::PrivateNetworkNamespace space;
  if (!space.created() || !space.ip("link set lo up") ||
      !space.exec(std::string("sysctl -qw net.ipv4.ping_group_range='") + groupRange + "'") ||
      !space.enter()) {
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
  if (const std::string why = networktest::whyNoNetworkNamespaces(); !why.empty()) GTEST_SKIP() << why;
  Lines expected = {"start"};
  for (int n = 0; n < 10; ++n)
    expected.insert(expected.end(), {"sent " + std::to_string(n), "reply " + std::to_string(n)});
  EXPECT_EQ(echoes("127.0.0.1", "0 2147483647"), expected);
  EXPECT_EQ(echoes("::1", "0 2147483647"), expected);
  EXPECT_EQ(echoes("127.0.0.1", "1 0"), Lines{failed(PingError::posixDomain, 13)});
  EXPECT_EQ(echoes("127.0.0.1", "0 2147483647", Style::icmpv6), Lines{failed(PingError::networkDomain, 1)});
}

TEST(PingDeathTest, PreconditionsAreFatal) {
  EXPECT_DEATH(Ping::create(std::nullopt), "Fatal error: Ping: a host name is required");
  EXPECT_DEATH(([ping = Ping::create("localhost")] { ping->start(), ping->start(); })(),
               "Fatal error: Ping.start: already started");
  EXPECT_DEATH(Ping::create("localhost")->sendPingWithData(std::nullopt), "no IPv4 or IPv6 host address");
}

}  // namespace
