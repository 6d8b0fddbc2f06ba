#include "Bexlan/Int.hpp"

#include "Bexlan/String.hpp"
#include "Platform/Foundation/NumberFormatter.hpp"

namespace Bexlan::Int {

std::string formattedWithSeparator(std::int64_t value) {
  platform::NumberFormatter formatter;
  formatter.setUsesGrouping(true);
  return formatter.string(value).value_or(String::empty());
}

}  // namespace Bexlan::Int
