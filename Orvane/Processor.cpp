#include "Orvane/Processor.hpp"

namespace Orvane {

const std::string& Processor::total() {
  static const std::string key = "CPU_T";
  return key;
}

const std::string& Processor::system() {
  static const std::string key = "CPU_S";
  return key;
}

const std::string& Processor::user() {
  static const std::string key = "CPU_U";
  return key;
}

const std::string& Processor::tasks() {
  static const std::string key = "TASKS";
  return key;
}

const std::string& Processor::threads() {
  static const std::string key = "THREADS";
  return key;
}

}  // namespace Orvane
