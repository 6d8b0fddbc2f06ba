#include "Tavrix/Controls/Utilities.hpp"

#include <array>
#include <cstddef>
#include <limits>
#include <memory>
#include <string_view>

#include "Platform/Foundation/DateFormatter.hpp"
#include "Tavrix/Controls/Constants.hpp"

namespace Tavrix {

namespace {

struct UnitSteps {
  std::array<const platform::Number*, 4> thresholds;
  std::array<std::string_view, 5> labels;
};

const UnitSteps& steps(bool bits) {
  static const UnitSteps bitSteps{
      {&Constants::kilo(), &Constants::mega(), &Constants::giga(), &Constants::tera()},
      {"b/s", "Kb/s", "Mb/s", "Gb/s", "Tb/s"}};
  static const UnitSteps byteSteps{
      {&Constants::kibi(), &Constants::mebi(), &Constants::gibi(), &Constants::tebi()},
      {"B/s", "KB/s", "MB/s", "GB/s", "TB/s"}};
  return bits ? bitSteps : byteSteps;
}

// How many steps the rate reaches, 0 to 4.
std::size_t reached(std::uint64_t bytes, bool bits) {
  constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
  const std::uint64_t value = !bits ? bytes : bytes > most / 8 ? most : bytes * 8;
  std::size_t count = 0;
  for (const platform::Number* threshold : steps(bits).thresholds) {
    if (value >= threshold->unsignedLongLongValue()) {
      ++count;
    }
  }
  return count;
}

}  // namespace

std::string Utilities::monthString(double secondsSince1970) {
  return platform::DateFormatter("LLL").string(secondsSince1970);
}

double Utilities::unitDivisor(std::uint64_t bytes, bool bits) {
  const std::size_t count = reached(bytes, bits);
  return count == 0 ? 1.0 : static_cast<double>(steps(bits).thresholds[count - 1]->floatValue());
}

std::string Utilities::rateUnit(std::uint64_t bytes, bool bits) {
  return std::string(steps(bits).labels[reached(bytes, bits)]);
}

}  // namespace Tavrix
