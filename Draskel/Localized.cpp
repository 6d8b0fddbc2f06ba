#include "Draskel/Localized.hpp"

#include "Platform/Foundation/Bundle.hpp"

namespace Draskel {

std::string localized(std::string_view key) {
  static const std::shared_ptr<platform::Bundle> bundle = platform::Bundle::module("Draskel_Draskel");
  return bundle->localizedString(key);
}

}  // namespace Draskel
