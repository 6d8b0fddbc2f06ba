#pragma once

#include <string>

#include "Orvane/StoreKey.hpp"

namespace Orvane {

// The keys under which the processor monitor publishes its entries. Never instantiated.
class Processor {
 public:
  Processor() = delete;

  // "CPU_T": user and system load together, in percent of all processors.
  static const std::string& total() { return storeKey<"CPU_T">(); }
  // "CPU_S": system load, in percent.
  static const std::string& system() { return storeKey<"CPU_S">(); }
  // "CPU_U": user load, in percent.
  static const std::string& user() { return storeKey<"CPU_U">(); }
  // "TASKS": the number of processes.
  static const std::string& tasks() { return storeKey<"TASKS">(); }
  // "THREADS": the number of threads of all processes.
  static const std::string& threads() { return storeKey<"THREADS">(); }
};

}  // namespace Orvane
