#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace Orvane::IcmpPacket {

// The ICMP message layout and the arithmetic of echo requests and replies. Multi-byte fields are in network
// byte order.

constexpr std::size_t headerSize = 8;  // type, code, checksum, identifier, sequence number
constexpr std::uint8_t echoRequestV4 = 8, echoReplyV4 = 0, echoRequestV6 = 128, echoReplyV6 = 129;

// The internet checksum (RFC 1071) of `bytes`, as it is stored in memory (already in network order).
std::uint16_t checksum(std::span<const std::byte> bytes);

// "%28zd bottles of beer on the wall" of 99 - (sequenceNumber % 100): 56 ASCII bytes.
std::vector<std::byte> defaultPayload(std::uint16_t sequenceNumber);

// An echo request: the header, then the payload; with `requiresChecksum` the checksum is filled in, else
// left 0.
std::vector<std::byte> echoRequest(std::uint8_t type, std::uint16_t identifier, std::uint16_t sequenceNumber,
                                   std::span<const std::byte> payload, bool requiresChecksum);

// The 16-bit field at `offset` in host order; the caller has checked that it fits.
std::uint16_t field(std::span<const std::byte> bytes, std::size_t offset);

}  // namespace Orvane::IcmpPacket
