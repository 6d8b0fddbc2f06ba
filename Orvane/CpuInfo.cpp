#include "Orvane/CpuInfo.hpp"

namespace Orvane {

KeyedCoding::Object CpuInfo::encode() const {
  KeyedCoding::Object object = KeyedCoding::Object::object();
  object["time"] = KeyedCoding::encodableNumber(time);
  object["usage"] = static_cast<float>(KeyedCoding::encodableNumber(usage));
  return object;
}

CpuInfo CpuInfo::decode(const KeyedCoding::Object& object) {
  CpuInfo info;
  info.time = KeyedCoding::decodeDouble(object, "time");
  info.usage = KeyedCoding::decodeFloat(object, "usage");
  return info;
}

}  // namespace Orvane
