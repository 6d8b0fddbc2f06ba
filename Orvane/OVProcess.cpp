#include "Orvane/OVProcess.hpp"

#include "Platform/Foundation/Uuid.hpp"

namespace Orvane {

OVProcess::OVProcess(std::int32_t pid, std::int32_t ppid) : OVProcess(platform::uuidString(), pid, ppid) {}

OVProcess::OVProcess(std::string id, std::int32_t pid, std::int32_t ppid)
    : id_(std::move(id)), pid_(pid), ppid_(ppid) {}

KeyedCoding::Object OVProcess::encode() const {
  KeyedCoding::Object object = KeyedCoding::Object::object();
  object["id"] = id_;
  object["pid"] = pid_;
  object["ppid"] = ppid_;
  object["cpu"] = cpu_.encode();
  object["memory"] = memory_.encode();
  object["sent"] = sent_;
  object["received"] = received_;
  object["traffic"] = traffic_;
  object["name"] = name_;
  return object;
}

std::shared_ptr<OVProcess> OVProcess::decode(const KeyedCoding::Object& object) {
  std::string id = KeyedCoding::decodeUuid(object, "id");
  std::int32_t pid = KeyedCoding::decodeInt32(object, "pid");
  std::int32_t ppid = KeyedCoding::decodeInt32(object, "ppid");
  CpuInfo cpu = CpuInfo::decode(KeyedCoding::member(object, "cpu"));
  MemoryInfo memory = MemoryInfo::decode(KeyedCoding::member(object, "memory"));
  std::uint64_t sent = KeyedCoding::decodeUInt64(object, "sent");
  std::uint64_t received = KeyedCoding::decodeUInt64(object, "received");
  std::uint64_t traffic = KeyedCoding::decodeUInt64(object, "traffic");
  std::string name = KeyedCoding::decodeString(object, "name");

  std::shared_ptr<OVProcess> process(new OVProcess(std::move(id), pid, ppid));
  process->cpu_ = cpu;
  process->memory_ = memory;
  process->sent_ = sent;
  process->received_ = received;
  process->traffic_ = traffic;
  process->name_ = std::move(name);
  return process;
}

}  // namespace Orvane
