#pragma once

#include "Platform/Foundation/Number.hpp"

namespace Bexlan::Number {

// The number's float value widened to a CGFloat (double): a Double 0.1 reads 0.100000001490116.
inline double cgFloatValue(const platform::Number& number) { return number.floatValue(); }

}  // namespace Bexlan::Number
