#pragma once

#include <string>

namespace Orvane {

// The keys under which the network monitor publishes its entries. Never instantiated; each key is made
// once, on first use from any thread.
class Network {
 public:
  Network() = delete;

  // "N_S_DL": the download rate text, with the rate in bytes per second as raw number.
  static const std::string& download();
  // "N_S_UL": the upload rate text, with the rate in bytes per second as raw number.
  static const std::string& upload();
  // "CONNECTIONS": reserved; no monitor registers or writes it.
  static const std::string& connections();
};

}  // namespace Orvane
