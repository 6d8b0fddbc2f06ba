#pragma once

#include <cstdint>
#include <string>

// Number texts and arithmetic on floats: each widens the float to double exactly and works as the double
// form does (Bexlan/Double.hpp), so 0.1f with 10 digits is "0.1000000014".
namespace Bexlan::Float {

// formatted(value, fractionDigits) of the widened value.
std::string formatted(float value, std::int64_t fractionDigits);
std::string formatted1(float value);
std::string formatted2(float value);
std::string formatted3(float value);
std::string formatted4(float value);
std::string formatted5(float value);

// Double::rounded of the widened value, narrowed to float last (to the nearest float; beyond float's range
// to the largest float or infinity).
float rounded(float value, std::int64_t places);

// True for NaN and both infinities.
bool isNotFinite(float value);

}  // namespace Bexlan::Float
