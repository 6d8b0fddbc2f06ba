#include "Bexlan/WrappedIdentifier.hpp"

#include <utility>

#include "Platform/Foundation/FatalError.hpp"

namespace Bexlan {

WrappedIdentifier::WrappedIdentifier(std::string identifier, std::string name, std::string wrappedIdentifier,
                                     Icon icon)
    : wrappedIdentifier_(std::move(wrappedIdentifier)),
      identifier_(std::move(identifier)),
      name_(std::move(name)),
      icon_(std::move(icon)) {}

std::string WrappedIdentifier::description() const {
  platform::fatalError("Use IDataStore to get string of wrapped identifier.");
}

std::optional<platform::Number> WrappedIdentifier::value() const {
  platform::fatalError("Use IDataStore to get value of wrapped identifier.");
}

}  // namespace Bexlan
