#include "Bexlan/DecimalFormatter.hpp"

#include "Bexlan/Formatted.hpp"
#include "Platform/Foundation/NumberFormatter.hpp"

namespace Bexlan {

std::optional<std::string> DecimalFormatter::string(const platform::Number& number,
                                                    std::int64_t maximumFractionDigits) {
  platform::NumberFormatter formatter;
  formatter.setMaximumFractionDigits(fractionDigitCount(maximumFractionDigits));
  using Type = platform::Number::Type;
  switch (number.type()) {
    case Type::Float:
    case Type::Double: return formatter.string(number.doubleValue());
    case Type::Bool:
    case Type::UInt8:
    case Type::UInt16:
    case Type::UInt32:
    case Type::UInt64: return formatter.string(number.unsignedLongLongValue());
    case Type::Int8:
    case Type::Int16:
    case Type::Int32:
    case Type::Int64: break;
  }
  return formatter.string(number.longLongValue());
}

}  // namespace Bexlan
