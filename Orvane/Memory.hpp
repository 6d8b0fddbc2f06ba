#pragma once

#include <string>

#include "Orvane/StoreKey.hpp"

namespace Orvane {

// The keys under which the memory monitor publishes its entries, all in bytes except usage. Never
// instantiated.
class Memory {
 public:
  Memory() = delete;

  // "M_A": active memory.
  static const std::string& active() { return storeKey<"M_A">(); }
  // "M_C": memory that holds compressed pages.
  static const std::string& compressed() { return storeKey<"M_C">(); }
  // "M_I": inactive memory.
  static const std::string& inactive() { return storeKey<"M_I">(); }
  // "M_W": wired memory, which the kernel neither pages out nor reclaims.
  static const std::string& wired() { return storeKey<"M_W">(); }
  // "M_T": memory in use: active + compressed + wired.
  static const std::string& used() { return storeKey<"M_T">(); }
  // "M_F": physical memory not in use ("M_T" subtracted), inactive memory included.
  static const std::string& free() { return storeKey<"M_F">(); }
  // "M_U": "M_T" as a fraction of physical memory, 0 to 1.
  static const std::string& usage() { return storeKey<"M_U">(); }
};

}  // namespace Orvane
