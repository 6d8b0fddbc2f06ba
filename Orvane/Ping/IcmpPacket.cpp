#include "Orvane/Ping/IcmpPacket.hpp"

#include <arpa/inet.h>

#include <cstdio>
#include <cstring>

namespace Orvane::IcmpPacket {

std::uint16_t checksum(std::span<const std::byte> bytes) {
  std::uint32_t sum = 0;
  std::size_t index = 0;
  for (; index + 1 < bytes.size(); index += 2) {
    std::uint16_t word;
    std::memcpy(&word, bytes.data() + index, sizeof word);
    sum += word;
  }
  if (index < bytes.size()) {
    const std::byte last[2] = {bytes[index], std::byte{0}};
    std::uint16_t word;
    std::memcpy(&word, last, sizeof word);
    sum += word;
  }
  sum = (sum >> 16) + (sum & 0xFFFF);
  sum += sum >> 16;
  return static_cast<std::uint16_t>(~sum);
}

std::vector<std::byte> defaultPayload(std::uint16_t sequenceNumber) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, "%28zd bottles of beer on the wall",
                                   ssize_t(99 - sequenceNumber % 100));
  const auto* bytes = reinterpret_cast<const std::byte*>(text);
  return {bytes, bytes + length};
}

std::vector<std::byte> echoRequest(std::uint8_t type, std::uint16_t identifier, std::uint16_t sequenceNumber,
                                   std::span<const std::byte> payload, bool requiresChecksum) {
  std::vector<std::byte> packet(headerSize + payload.size());
  packet[0] = std::byte{type};
  const std::uint16_t fields[2] = {htons(identifier), htons(sequenceNumber)};
  std::memcpy(packet.data() + 4, fields, sizeof fields);
  if (!payload.empty()) std::memcpy(packet.data() + headerSize, payload.data(), payload.size());
  if (requiresChecksum) {
    const std::uint16_t sum = checksum(packet);
    std::memcpy(packet.data() + 2, &sum, sizeof sum);
  }
  return packet;
}

std::uint16_t field(std::span<const std::byte> bytes, std::size_t offset) {
  std::uint16_t value;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return ntohs(value);
}

}  // namespace Orvane::IcmpPacket
