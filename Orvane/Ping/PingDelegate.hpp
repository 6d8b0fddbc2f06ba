#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Orvane/Ping/PingError.hpp"

namespace Orvane {

class Ping;

// Hears what a Ping does, synchronously on the thread it was started on. Every callback is optional: the
// defaults do nothing. Packets and addresses are raw bytes.
class PingDelegate {
 public:
  virtual ~PingDelegate() = default;

  // The socket is open and watched; `address` is the socket address in use.
  virtual void didStartWithAddress(Ping&, const std::vector<std::byte>& /*address*/) {}
  // Resolution, the socket or a receive failed; the Ping has already stopped.
  virtual void didFailWithError(Ping&, const PingError&) {}
  virtual void didSendPacket(Ping&, const std::vector<std::byte>& /*packet*/,
                             std::uint16_t /*sequenceNumber*/) {}
  // The send failed or was short.
  virtual void didFailToSendPacket(Ping&, const std::vector<std::byte>& /*packet*/,
                                   std::uint16_t /*sequenceNumber*/, const PingError&) {}
  // A valid reply to one of this Ping's requests: the ICMP message, without any IPv4 header.
  virtual void didReceivePingResponsePacket(Ping&, const std::vector<std::byte>& /*packet*/,
                                            std::uint16_t /*sequenceNumber*/) {}
  // Anything else that arrived on the socket, as received.
  virtual void didReceiveUnexpectedPacket(Ping&, const std::vector<std::byte>& /*packet*/) {}
};

}  // namespace Orvane
