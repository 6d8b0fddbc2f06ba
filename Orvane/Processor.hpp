#pragma once

#include <string>

namespace Orvane {

// The keys under which the processor monitor publishes its entries. Never instantiated; each key is made
// once, on first use from any thread.
class Processor {
 public:
  Processor() = delete;

  // "CPU_T": user and system load together, in percent of all processors.
  static const std::string& total();
  // "CPU_S": system load, in percent.
  static const std::string& system();
  // "CPU_U": user load, in percent.
  static const std::string& user();
  // "TASKS": the number of processes.
  static const std::string& tasks();
  // "THREADS": the number of threads of all processes.
  static const std::string& threads();
};

}  // namespace Orvane
