#include "Orvane/Memory.hpp"

namespace Orvane {

const std::string& Memory::active() {
  static const std::string key = "M_A";
  return key;
}

const std::string& Memory::compressed() {
  static const std::string key = "M_C";
  return key;
}

const std::string& Memory::inactive() {
  static const std::string key = "M_I";
  return key;
}

const std::string& Memory::wired() {
  static const std::string key = "M_W";
  return key;
}

const std::string& Memory::used() {
  static const std::string key = "M_T";
  return key;
}

const std::string& Memory::free() {
  static const std::string key = "M_F";
  return key;
}

const std::string& Memory::usage() {
  static const std::string key = "M_U";
  return key;
}

}  // namespace Orvane
