#pragma once

#include <arpa/inet.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform::netlink {

// Bounds-checked reading of netlink messages and their route attributes: every length is checked against
// its buffer before anything behind it is read.

inline std::size_t aligned(std::size_t length) { return (length + 3) / 4 * 4; }

// A T read at `offset` of `bytes`, whatever the alignment; absent when it does not fit.
template <class T>
std::optional<T> readAt(std::span<const std::byte> bytes, std::size_t offset) {
  if (offset > bytes.size() || bytes.size() - offset < sizeof(T)) return std::nullopt;
  T value;
  std::memcpy(&value, bytes.data() + offset, sizeof(T));
  return value;
}

// How many bytes a message or an attribute spans, its header included.
inline std::size_t recordLength(const nlmsghdr& header) { return header.nlmsg_len; }
inline std::size_t recordLength(const rtattr& attribute) { return attribute.rta_len; }

// Calls visit(header, rest) for each record (a message, or an attribute) of `bytes` while it returns
// true. False when a record's length is shorter than its header or runs outside the buffer (the rest is
// not read).
template <class Header, class Visit>
bool forEachRecord(std::span<const std::byte> bytes, Visit visit) {
  for (std::size_t offset = 0; offset < bytes.size();) {
    const std::optional<Header> header = readAt<Header>(bytes, offset);
    const std::size_t length = header ? recordLength(*header) : 0;
    if (length < sizeof(Header) || length > bytes.size() - offset) return false;
    if (!visit(*header, bytes.subspan(offset + sizeof(Header), length - sizeof(Header)))) return true;
    offset += std::min(aligned(length), bytes.size() - offset);
  }
  return true;
}

// Calls visit(header, body) for each message of one received buffer, as forEachRecord.
template <class Visit>
bool forEachMessage(std::span<const std::byte> bytes, Visit visit) {
  return forEachRecord<nlmsghdr>(bytes, visit);
}

// Calls visit(type, payload) for each route attribute of `bytes` (a message body after its fixed part);
// an attribute that runs outside the buffer ends the walk.
template <class Visit>
void forEachAttribute(std::span<const std::byte> bytes, Visit visit) {
  forEachRecord<rtattr>(bytes, [&](const rtattr& attribute, std::span<const std::byte> payload) {
    visit(attribute.rta_type, payload);
    return true;
  });
}

// The attributes behind a message's fixed part of type T; empty when the body is shorter than T.
template <class T>
std::span<const std::byte> attributesAfter(std::span<const std::byte> body) {
  const std::size_t start = aligned(sizeof(T));
  return body.size() < start ? std::span<const std::byte>() : body.subspan(start);
}

// An attribute's text up to its first zero byte.
inline std::string attributeText(std::span<const std::byte> payload) {
  const std::string_view text(reinterpret_cast<const char*>(payload.data()), payload.size());
  return std::string(text.substr(0, text.find('\0')));
}

// The text of an address attribute of `family` (AF_INET or AF_INET6) as inet_ntop writes it; absent for
// another family or a payload of another size.
inline std::optional<std::string> addressText(int family, std::span<const std::byte> payload) {
  const std::size_t size = family == AF_INET ? 4 : family == AF_INET6 ? 16 : 0;
  if (size == 0 || payload.size() != size) return std::nullopt;
  char text[INET6_ADDRSTRLEN] = "";
  if (::inet_ntop(family, payload.data(), text, sizeof text) == nullptr) return std::nullopt;
  return std::string(text);
}

}  // namespace platform::netlink
