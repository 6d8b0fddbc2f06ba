#pragma once

#include <string>

namespace Orvane {

// The keys under which the memory monitor publishes its entries, all in bytes except usage. Never
// instantiated; each key is made once, on first use from any thread.
class Memory {
 public:
  Memory() = delete;

  // "M_A": active memory.
  static const std::string& active();
  // "M_C": memory that holds compressed pages.
  static const std::string& compressed();
  // "M_I": inactive memory.
  static const std::string& inactive();
  // "M_W": wired memory, which the kernel neither pages out nor reclaims.
  static const std::string& wired();
  // "M_T": memory in use: active + compressed + wired.
  static const std::string& used();
  // "M_F": physical memory not in use ("M_T" subtracted), inactive memory included.
  static const std::string& free();
  // "M_U": "M_T" as a fraction of physical memory, 0 to 1.
  static const std::string& usage();
};

}  // namespace Orvane
