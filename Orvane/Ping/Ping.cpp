#include "Orvane/Ping/Ping.hpp"

#include <netinet/in.h>
#include <stdlib.h>
#include <sys/socket.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "Orvane/Ping/IcmpPacket.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Foundation/FatalError.hpp"

namespace Orvane {

namespace {

constexpr std::size_t minimumAddressSize = 16;  // a sockaddr_in; shorter addresses are passed over
constexpr std::size_t receiveBufferSize = 65535;

PingError posixError(int code) { return {PingError::posixDomain, code, {}}; }

// The family of the socket address in `address` (its first two bytes), or AF_UNSPEC when it is shorter than
// a sockaddr_in.
int familyOf(std::span<const std::byte> address) {
  if (address.size() < minimumAddressSize) return AF_UNSPEC;
  sa_family_t family;
  std::memcpy(&family, address.data(), sizeof family);
  return family;
}

}  // namespace

// A running resolution: the starting thread's run loop receives its result unless stop cancelled it first.
struct Ping::Resolution {
  std::mutex mutex;
  bool cancelled = false;
  platform::RunLoop* loop;
};

std::shared_ptr<Ping> Ping::create(const std::optional<std::string>& hostName) {
  return create(hostName, {});
}

std::shared_ptr<Ping> Ping::create(const std::optional<std::string>& hostName, Platform platform) {
  if (!hostName) platform::fatalError("Ping: a host name is required");
  return std::shared_ptr<Ping>(new Ping(*hostName, std::move(platform)));
}

Ping::Ping(std::string hostName, Platform platform)
    : hostName_(std::move(hostName)),
      platform_(std::move(platform)),
      identifier_(static_cast<std::uint16_t>(::arc4random())) {}

Ping::~Ping() {
  stop();
  if (resolution_ || socket_) platform::fatalError("Ping: still resolving or open after stop");
}

int Ping::hostAddressFamily() const noexcept { return hostAddress_ ? familyOf(*hostAddress_) : AF_UNSPEC; }

void Ping::start() {
  if (resolution_ || hostAddress_) platform::fatalError("Ping.start: already started");
  auto resolution = std::make_shared<Resolution>();
  resolution->loop = &platform::RunLoop::current();
  resolution_ = resolution;
  platform::DispatchQueue::global().async(
      [self = weak_from_this(), resolution, resolve = platform_.resolve, name = hostName_] {
        platform::HostResolution result = resolve(name);
        std::lock_guard lock(resolution->mutex);
        if (resolution->cancelled) return;
        resolution->loop->perform([self, resolution, result = std::move(result)] {
          const std::shared_ptr<Ping> ping = self.lock();
          if (ping && ping->resolution_ == resolution) ping->hostResolutionDone(result);
        });
      });
}

void Ping::hostResolutionDone(const platform::HostResolution& resolution) {
  stopHostResolution();
  if (resolution.error != 0) {
    // Every getaddrinfo failure is a resolver (NetDB) error: its code goes under the key.
    didFailWithError({PingError::networkDomain,
                      PingError::unknownHostError,
                      {{PingError::getAddrInfoFailureKey, resolution.error}}});
    return;
  }
  for (const std::vector<std::byte>& address : resolution.addresses) {
    const int family = familyOf(address);
    if ((family == AF_INET && addressStyle_ != PingAddressStyle::icmpv6) ||
        (family == AF_INET6 && addressStyle_ != PingAddressStyle::icmpv4)) {
      hostAddress_ = address;
      break;
    }
  }
  if (!hostAddress_) {
    didFailWithError({PingError::networkDomain, PingError::hostNotFound, {}});
    return;
  }
  startWithHostAddress();
}

void Ping::startWithHostAddress() {
  const int family = hostAddressFamily();
  if (family != AF_INET && family != AF_INET6) {
    didFailWithError(posixError(EPROTONOSUPPORT));
    return;
  }
  int error = 0;
  socket_ = platform_.openSocket(family, identifier_, error);
  if (!socket_) {
    didFailWithError(posixError(error));
    return;
  }
  socketLoop_ = &platform::RunLoop::current();
  socketSource_ = socketLoop_->addReadSource(socket_->descriptor(), [self = weak_from_this()] {
    if (const std::shared_ptr<Ping> ping = self.lock()) ping->readData();
  });
  if (const auto delegate = delegate_.lock()) delegate->didStartWithAddress(*this, *hostAddress_);
}

void Ping::sendPingWithData(const std::optional<std::vector<std::byte>>& data) {
  const int family = hostAddressFamily();
  if (family != AF_INET && family != AF_INET6) {
    platform::fatalError("Ping.sendPingWithData: no IPv4 or IPv6 host address");
  }
  const std::shared_ptr<Ping> keepAlive = shared_from_this();  // the delegate may let go of it in the call
  const std::uint16_t sequenceNumber = nextSequenceNumber_;
  const std::vector<std::byte> payload = data ? *data : IcmpPacket::defaultPayload(sequenceNumber);
  const bool isV4 = family == AF_INET;
  const std::vector<std::byte> packet =
      IcmpPacket::echoRequest(isV4 ? IcmpPacket::echoRequestV4 : IcmpPacket::echoRequestV6, identifier_,
                              sequenceNumber, payload, isV4);
  ssize_t sent = -EBADF;
  if (socket_) sent = socket_->sendTo(packet, *hostAddress_);
  const std::shared_ptr<PingDelegate> delegate = delegate_.lock();
  if (sent > 0 && static_cast<std::size_t>(sent) == packet.size()) {
    if (delegate) delegate->didSendPacket(*this, packet, sequenceNumber);
  } else if (delegate) {
    delegate->didFailToSendPacket(*this, packet, sequenceNumber, posixError(sent < 0 ? int(-sent) : ENOBUFS));
  }
  nextSequenceNumber_ = static_cast<std::uint16_t>(sequenceNumber + 1);
  if (nextSequenceNumber_ == 0) nextSequenceNumberHasWrapped_ = true;
}

void Ping::readData() {
  if (!socket_) return;
  std::vector<std::byte> packet(receiveBufferSize);
  const ssize_t received = socket_->receive(packet);
  // A wake-up without a datagram (or one cut short by a signal) is no failure.
  if (received == -EAGAIN || received == -EWOULDBLOCK || received == -EINTR) return;
  if (received <= 0) {
    didFailWithError(posixError(received < 0 ? int(-received) : EPIPE));
    return;
  }
  packet.resize(static_cast<std::size_t>(received));
  std::uint16_t sequenceNumber = 0;
  const bool valid = validatePingResponsePacket(packet, sequenceNumber);
  const std::shared_ptr<PingDelegate> delegate = delegate_.lock();
  if (!delegate) return;
  if (valid) {
    delegate->didReceivePingResponsePacket(*this, packet, sequenceNumber);
  } else {
    delegate->didReceiveUnexpectedPacket(*this, packet);
  }
}

bool Ping::validatePingResponsePacket(std::vector<std::byte>& packet, std::uint16_t& sequenceNumber) const {
  switch (hostAddressFamily()) {
    case AF_INET: return validatePing4ResponsePacket(packet, sequenceNumber);
    case AF_INET6: return validatePing6ResponsePacket(packet, sequenceNumber);
    default: platform::fatalError("Ping: a reply with no IPv4 or IPv6 host address");
  }
}

bool Ping::validatePing4ResponsePacket(std::vector<std::byte>& packet, std::uint16_t& sequenceNumber) const {
  // A raw socket's replies start with the IPv4 header; a datagram socket's arrive without it.
  const std::int64_t headerOffset = icmpHeaderOffsetInIPv4Packet(packet);
  const std::size_t offset = headerOffset == notFound ? 0 : static_cast<std::size_t>(headerOffset);
  if (packet.size() < offset + IcmpPacket::headerSize) return false;
  const std::span<std::byte> message = std::span(packet).subspan(offset);
  std::byte saved[2];
  std::memcpy(saved, message.data() + 2, sizeof saved);
  std::memset(message.data() + 2, 0, sizeof saved);
  const std::uint16_t computed = IcmpPacket::checksum(message);
  std::memcpy(message.data() + 2, saved, sizeof saved);
  std::uint16_t stored;
  std::memcpy(&stored, saved, sizeof stored);
  sequenceNumber = IcmpPacket::field(message, 6);
  const bool valid = stored == computed && message[0] == std::byte{IcmpPacket::echoReplyV4} &&
                     message[1] == std::byte{0} && IcmpPacket::field(message, 4) == identifier_ &&
                     validateSequenceNumber(sequenceNumber);
  if (valid) packet.erase(packet.begin(), packet.begin() + static_cast<std::ptrdiff_t>(offset));
  return valid;
}

bool Ping::validatePing6ResponsePacket(const std::vector<std::byte>& packet,
                                       std::uint16_t& sequenceNumber) const {
  if (packet.size() < IcmpPacket::headerSize) return false;
  sequenceNumber = IcmpPacket::field(packet, 6);
  return packet[0] == std::byte{IcmpPacket::echoReplyV6} && packet[1] == std::byte{0} &&
         IcmpPacket::field(packet, 4) == identifier_ && validateSequenceNumber(sequenceNumber);
}

bool Ping::validateSequenceNumber(std::uint16_t sequenceNumber) const {
  if (!nextSequenceNumberHasWrapped_) return sequenceNumber < nextSequenceNumber_;
  return static_cast<std::uint16_t>(nextSequenceNumber_ - sequenceNumber) < 120;
}

std::int64_t Ping::icmpHeaderOffsetInIPv4Packet(std::span<const std::byte> packet) {
  if (packet.size() < 28) return notFound;
  const auto versionAndLength = std::to_integer<unsigned>(packet[0]);
  if ((versionAndLength >> 4) != 4 || std::to_integer<unsigned>(packet[9]) != IPPROTO_ICMP) return notFound;
  const std::size_t offset = (versionAndLength & 0x0F) * 4;
  return packet.size() < offset + IcmpPacket::headerSize ? notFound : static_cast<std::int64_t>(offset);
}

void Ping::didFailWithError(const PingError& error) {
  const std::shared_ptr<Ping> keepAlive = shared_from_this();  // the delegate may let go of it in the call
  stop();
  if (const auto delegate = delegate_.lock()) delegate->didFailWithError(*this, error);
}

void Ping::stop() {
  stopHostResolution();
  stopSocket();
  hostAddress_.reset();
}

void Ping::stopHostResolution() {
  if (!resolution_) return;
  {
    std::lock_guard lock(resolution_->mutex);
    resolution_->cancelled = true;
  }
  resolution_.reset();
}

void Ping::stopSocket() {
  if (!socket_) return;
  socketLoop_->removeSource(socketSource_);
  socket_.reset();
  socketLoop_ = nullptr;
}

}  // namespace Orvane
