#include "Orvane/MemoryInfo.hpp"

namespace Orvane {

KeyedCoding::Object MemoryInfo::encode() const {
  KeyedCoding::Object object = KeyedCoding::Object::object();
  object["totalBytes"] = totalBytes;
  return object;
}

MemoryInfo MemoryInfo::decode(const KeyedCoding::Object& object) {
  MemoryInfo info;
  info.totalBytes = KeyedCoding::decodeUInt64(object, "totalBytes");
  return info;
}

}  // namespace Orvane
