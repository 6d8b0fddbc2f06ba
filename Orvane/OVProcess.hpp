#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "Orvane/CpuInfo.hpp"
#include "Orvane/DecodingError.hpp"
#include "Orvane/KeyedCoding.hpp"
#include "Orvane/MemoryInfo.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Orvane {

// One process of the process list, shared by reference (std::shared_ptr) between the list and the pid
// tree of its collection. Every record is a new identity: two records are equal only when they are the same
// record (equal ids), whatever their pid, name and numbers, so the same process collected twice gives two
// unequal records.
class OVProcess {
 public:
  // A record with a fresh random id, zero processor and memory use, no traffic and an empty name.
  OVProcess(std::int32_t pid, std::int32_t ppid);

  // The record's identity: an upper-case UUID text.
  const std::string& id() const { return id_; }
  std::int32_t pid() const { return pid_; }
  std::int32_t ppid() const { return ppid_; }
  CpuInfo& cpu() { return cpu_; }
  const CpuInfo& cpu() const { return cpu_; }
  MemoryInfo& memory() { return memory_; }
  const MemoryInfo& memory() const { return memory_; }

  // Network use of the process: kept for the record's users; the collector leaves them 0.
  std::uint64_t sent() const { return sent_; }
  void setSent(std::uint64_t sent) { sent_ = sent; }
  std::uint64_t received() const { return received_; }
  void setReceived(std::uint64_t received) { received_ = received; }
  std::uint64_t traffic() const { return traffic_; }
  void setTraffic(std::uint64_t traffic) { traffic_ = traffic; }

  const std::string& name() const { return name_; }
  void setName(std::string name) { name_ = std::move(name); }

  // cpu().usage as a number (single precision), for sorting by processor share.
  platform::Number cpuUsage() const { return platform::Number::of(cpu_.usage); }
  // memory().totalBytes as a number (unsigned 64-bit), for sorting by memory.
  platform::Number memoryUsage() const { return platform::Number::of(memory_.totalBytes); }

  friend bool operator==(const OVProcess& a, const OVProcess& b) { return a.id_ == b.id_; }

  // The nine keys "id", "pid", "ppid", "cpu", "memory", "sent", "received", "traffic", "name", in this
  // order, with "cpu" and "memory" as nested objects.
  KeyedCoding::Object encode() const;
  // The record those keys describe, keeping its id. Every key is required; the first missing or mistyped
  // one throws DecodingError.
  static std::shared_ptr<OVProcess> decode(const KeyedCoding::Object& object);

 private:
  OVProcess(std::string id, std::int32_t pid, std::int32_t ppid);

  std::string id_;
  std::int32_t pid_;
  std::int32_t ppid_;
  CpuInfo cpu_;
  MemoryInfo memory_;
  std::uint64_t sent_ = 0;
  std::uint64_t received_ = 0;
  std::uint64_t traffic_ = 0;
  std::string name_;
};

}  // namespace Orvane
