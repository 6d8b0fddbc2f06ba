#pragma once

#include <functional>
#include <map>
#include <string>
#include <variant>

#include "Platform/Foundation/Number.hpp"

namespace Draskel {

// A value of a device's property dictionaries (its I/O statistics, its characteristics): a number, which
// keeps the type it was made from, or a text.
using PropertyValue = std::variant<platform::Number, std::string>;

// Property dictionaries by property name ("Bytes (Read)", "Product Name").
using PropertyDictionary = std::map<std::string, PropertyValue, std::less<>>;

}  // namespace Draskel
