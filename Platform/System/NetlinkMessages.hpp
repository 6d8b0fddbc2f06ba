#pragma once

#include <linux/netlink.h>
#include <linux/rtnetlink.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>

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

// Calls visit(header, body) for each message of one received buffer while it returns true. False when a
// message's length is shorter than its header or runs outside the buffer (the rest is not read).
template <class Visit>
bool forEachMessage(std::span<const std::byte> bytes, Visit visit) {
  for (std::size_t offset = 0; offset < bytes.size();) {
    const std::optional<nlmsghdr> header = readAt<nlmsghdr>(bytes, offset);
    if (!header || header->nlmsg_len < sizeof(nlmsghdr) || header->nlmsg_len > bytes.size() - offset)
      return false;
    if (!visit(*header, bytes.subspan(offset + sizeof(nlmsghdr), header->nlmsg_len - sizeof(nlmsghdr))))
      return true;
    offset += std::min(aligned(header->nlmsg_len), bytes.size() - offset);
  }
  return true;
}

// Calls visit(type, payload) for each route attribute of `bytes` (a message body after its fixed part);
// an attribute that runs outside the buffer ends the walk.
template <class Visit>
void forEachAttribute(std::span<const std::byte> bytes, Visit visit) {
  for (std::size_t offset = 0; offset < bytes.size();) {
    const std::optional<rtattr> attribute = readAt<rtattr>(bytes, offset);
    if (!attribute || attribute->rta_len < sizeof(rtattr) || attribute->rta_len > bytes.size() - offset)
      return;
    visit(attribute->rta_type, bytes.subspan(offset + sizeof(rtattr), attribute->rta_len - sizeof(rtattr)));
    offset += std::min(aligned(attribute->rta_len), bytes.size() - offset);
  }
}

// The attributes behind a message's fixed part of type T; empty when the body is shorter than T.
template <class T>
std::span<const std::byte> attributesAfter(std::span<const std::byte> body) {
  const std::size_t start = aligned(sizeof(T));
  return body.size() < start ? std::span<const std::byte>() : body.subspan(start);
}

}  // namespace platform::netlink
