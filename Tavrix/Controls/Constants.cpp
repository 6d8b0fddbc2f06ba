#include "Tavrix/Controls/Constants.hpp"

#include <cstdint>

#include "Tavrix/Controls/Environment.hpp"

namespace Tavrix {

namespace {

constexpr platform::Number number(std::int64_t value) { return platform::Number::of(value); }

}  // namespace

const platform::Number& Constants::kibi() {
  static constexpr platform::Number value = number(std::int64_t{1} << 10);
  return value;
}

const platform::Number& Constants::mebi() {
  static constexpr platform::Number value = number(std::int64_t{1} << 20);
  return value;
}

const platform::Number& Constants::gibi() {
  static constexpr platform::Number value = number(std::int64_t{1} << 30);
  return value;
}

const platform::Number& Constants::tebi() {
  static constexpr platform::Number value = number(std::int64_t{1} << 40);
  return value;
}

const platform::Number& Constants::kilo() {
  static constexpr platform::Number value = number(1'000);
  return value;
}

const platform::Number& Constants::mega() {
  static constexpr platform::Number value = number(1'000'000);
  return value;
}

const platform::Number& Constants::giga() {
  static constexpr platform::Number value = number(1'000'000'000);
  return value;
}

const platform::Number& Constants::tera() {
  static constexpr platform::Number value = number(1'000'000'000'000);
  return value;
}

const std::string& Constants::emptyString() {
  static const std::string* const text = new std::string();  // never destroyed: usable from any destructor
  return *text;
}

const std::string& Constants::dash() {
  static const std::string* const text = new std::string("-");
  return *text;
}

double Constants::onePixel() {
  static const double width = 1 / mainScreenScale();
  return width;
}

}  // namespace Tavrix
