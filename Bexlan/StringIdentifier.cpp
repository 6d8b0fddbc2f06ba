#include "Bexlan/StringIdentifier.hpp"

#include <stdexcept>
#include <utility>

#include "Bexlan/String.hpp"

namespace Bexlan {

StringIdentifier::StringIdentifier(std::string identifier, std::string name, std::optional<std::string> text,
                                   Icon icon)
    : mString_(std::move(text)),
      identifier_(std::move(identifier)),
      name_(std::move(name)),
      icon_(std::move(icon)) {}

StringIdentifier::StringIdentifier(std::string identifier, std::string name, std::optional<std::string> text,
                                   std::optional<platform::Number> rawValue)
    : StringIdentifier(std::move(identifier), std::move(name), std::move(text)) {
  mRawValue_ = rawValue;
  if (rawValue) {
    record(*rawValue);
  }
}

void StringIdentifier::setString(std::optional<std::string> text) { mString_ = std::move(text); }

void StringIdentifier::setStringWithRaw(std::optional<std::string> text, platform::Number rawValue) {
  mString_ = std::move(text);
  mRawValue_ = rawValue;
  record(rawValue);
}

std::string StringIdentifier::description() const { return mString_ ? *mString_ : String::dash(); }

void StringIdentifier::setHistorySize(std::int64_t size) {
  if (size < 0) {
    throw std::invalid_argument("historySize must not be negative, got " + std::to_string(size));
  }
  history_.restart(static_cast<std::size_t>(size));
  historySize_ = size;
}

void StringIdentifier::record(platform::Number rawValue) {
  const double sample = rawValue.doubleValue();
  history_.shift(sample);
  updateMin(sample);
  updateMax(sample);
}

}  // namespace Bexlan
