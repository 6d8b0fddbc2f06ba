#pragma once

#include <string>

#include "Orvane/StoreKey.hpp"

namespace Orvane {

// The keys under which the network monitor publishes its entries. Never instantiated.
class Network {
 public:
  Network() = delete;

  // "N_S_DL": the download rate text, with the rate in bytes per second as raw number.
  static const std::string& download() { return storeKey<"N_S_DL">(); }
  // "N_S_UL": the upload rate text, with the rate in bytes per second as raw number.
  static const std::string& upload() { return storeKey<"N_S_UL">(); }
  // "CONNECTIONS": reserved; no monitor registers or writes it.
  static const std::string& connections() { return storeKey<"CONNECTIONS">(); }
};

}  // namespace Orvane
