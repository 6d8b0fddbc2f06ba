#include "Orvane/Network.hpp"

namespace Orvane {

const std::string& Network::download() {
  static const std::string key = "N_S_DL";
  return key;
}

const std::string& Network::upload() {
  static const std::string key = "N_S_UL";
  return key;
}

const std::string& Network::connections() {
  static const std::string key = "CONNECTIONS";
  return key;
}

}  // namespace Orvane
