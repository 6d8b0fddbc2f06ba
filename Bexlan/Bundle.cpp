#include "Bexlan/Bundle.hpp"

namespace Bexlan::Bundle {

std::string appName(const platform::Bundle& bundle) { return bundle.name().value_or("Unknown App"); }

std::string appVersion(const platform::Bundle& bundle) {
  return bundle.shortVersion().value_or("Unknown Version");
}

}  // namespace Bexlan::Bundle
