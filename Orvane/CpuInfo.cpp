#include "Orvane/CpuInfo.hpp"

namespace Orvane {

KeyedCoding::Object CpuInfo::encode() const {
  KeyedCoding::Object object = KeyedCoding::Object::object();
  object["time"] = time;
  object["usage"] = usage;
  return object;
}

CpuInfo CpuInfo::decode(const KeyedCoding::Object& object) {
  CpuInfo info;
  info.time = KeyedCoding::decodeDouble(object, "time");
  info.usage = KeyedCoding::decodeFloat(object, "usage");
  return info;
}

}  // namespace Orvane
