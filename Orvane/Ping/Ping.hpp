#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Orvane/Ping/PingAddressStyle.hpp"
#include "Orvane/Ping/PingDelegate.hpp"
#include "Orvane/Ping/PingError.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/System/HostResolution.hpp"
#include "Platform/System/IcmpSocket.hpp"

namespace Orvane {

// Sends ICMP echo requests to one host and recognises the replies, over IPv4 or IPv6, without privileges
// (through the kernel's ICMP datagram sockets). One request per sendPingWithData call; timing, repetition
// and time-outs are the caller's.
//
// A Ping belongs to the thread that starts it: resolution (getaddrinfo on a worker) ends on that thread's
// run loop, replies are read there, and send and stop are called there. Stop it before that thread ends.
// The delegate is held weakly and called synchronously. Calling start when not idle, or sending without an
// IPv4 or IPv6 address, is a programming error that stops the process.
class Ping : public std::enable_shared_from_this<Ping> {
 public:
  // Where a Ping resolves names and gets its sockets; tests put stand-ins here.
  struct Platform {
    std::function<platform::HostResolution(const std::string& name)> resolve = platform::resolveHost;
    std::function<std::unique_ptr<platform::IcmpSocket>(int family, std::uint16_t identifier, int& error)>
        openSocket = platform::IcmpSocket::open;
  };

  // The platform's not-found value.
  static constexpr std::int64_t notFound = std::numeric_limits<std::int64_t>::max();

  // A Ping for `hostName` (a name or an address text); an absent name is a fatal error. The identifier is
  // drawn at random.
  static std::shared_ptr<Ping> create(const std::optional<std::string>& hostName);
  static std::shared_ptr<Ping> create(const std::optional<std::string>& hostName, Platform platform);
  ~Ping();
  Ping(const Ping&) = delete;
  Ping& operator=(const Ping&) = delete;

  const std::string& hostName() const noexcept { return hostName_; }
  std::shared_ptr<PingDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<PingDelegate>& delegate) { delegate_ = delegate; }
  PingAddressStyle addressStyle() const noexcept { return addressStyle_; }
  void setAddressStyle(PingAddressStyle style) noexcept { addressStyle_ = style; }
  // The socket address in use, or none.
  const std::optional<std::vector<std::byte>>& hostAddress() const noexcept { return hostAddress_; }
  void setHostAddress(std::optional<std::vector<std::byte>> address) { hostAddress_ = std::move(address); }
  // The address family of hostAddress (AF_INET 2, AF_INET6 10) when it is at least 16 bytes, else AF_UNSPEC.
  int hostAddressFamily() const noexcept;
  std::uint16_t identifier() const noexcept { return identifier_; }
  std::uint16_t nextSequenceNumber() const noexcept { return nextSequenceNumber_; }
  void setNextSequenceNumber(std::uint16_t number) noexcept { nextSequenceNumber_ = number; }
  bool nextSequenceNumberHasWrapped() const noexcept { return nextSequenceNumberHasWrapped_; }
  void setNextSequenceNumberHasWrapped(bool wrapped) noexcept { nextSequenceNumberHasWrapped_ = wrapped; }
  // Whether a resolution is running, and the socket's descriptor (-1 when there is none).
  bool isResolving() const noexcept { return resolution_ != nullptr; }
  int socketDescriptor() const noexcept { return socket_ ? socket_->descriptor() : -1; }

  // Starts resolving hostName; the outcome arrives through the delegate. Only when idle.
  void start();
  // Sends one echo request with `data` as payload, or the default payload; only with an address.
  void sendPingWithData(const std::optional<std::vector<std::byte>>& data);
  // Stops resolution and closes the socket; hostAddress becomes none. At any time, any number of times.
  void stop();

  // The offset of the ICMP message in an IPv4 packet (the IP header length), or notFound when the packet is
  // shorter than 28 bytes, not IPv4, not ICMP, or shorter than that offset plus the ICMP header.
  static std::int64_t icmpHeaderOffsetInIPv4Packet(std::span<const std::byte> packet);

 private:
  struct Resolution;

  Ping(std::string hostName, Platform platform);
  void hostResolutionDone(const platform::HostResolution& resolution);
  void startWithHostAddress();
  void readData();
  bool validatePingResponsePacket(std::vector<std::byte>& packet, std::uint16_t& sequenceNumber) const;
  bool validatePing4ResponsePacket(std::vector<std::byte>& packet, std::uint16_t& sequenceNumber) const;
  bool validatePing6ResponsePacket(const std::vector<std::byte>& packet, std::uint16_t& sequenceNumber) const;
  bool validateSequenceNumber(std::uint16_t sequenceNumber) const;
  void didFailWithError(const PingError& error);
  void stopHostResolution();
  void stopSocket();

  const std::string hostName_;
  const Platform platform_;
  std::weak_ptr<PingDelegate> delegate_;
  PingAddressStyle addressStyle_ = PingAddressStyle::any;
  std::optional<std::vector<std::byte>> hostAddress_;
  const std::uint16_t identifier_;
  std::uint16_t nextSequenceNumber_ = 0;
  bool nextSequenceNumberHasWrapped_ = false;
  std::shared_ptr<Resolution> resolution_;
  std::unique_ptr<platform::IcmpSocket> socket_;
  platform::RunLoop* socketLoop_ = nullptr;
  platform::RunLoop::SourceId socketSource_ = 0;
};

}  // namespace Orvane
