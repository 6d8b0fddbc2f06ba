#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "Orvane/DecodingError.hpp"

// Reading the values of the keyed JSON coding of the process records strictly: a value is taken only when
// it has the exact kind and fits the type, otherwise the decoding fails with a DecodingError naming the
// key. (nlohmann's own conversions would truncate 2^40 into a 32-bit integer or a 1.5 into an integer.)
namespace Orvane::KeyedCoding {

using Object = nlohmann::ordered_json;

// The value under key; throws DecodingError when `object` is not an object or has no such key.
const Object& member(const Object& object, const std::string& key);

std::int32_t decodeInt32(const Object& object, const std::string& key);
std::uint64_t decodeUInt64(const Object& object, const std::string& key);
double decodeDouble(const Object& object, const std::string& key);
// A number that a single-precision float holds without overflowing.
float decodeFloat(const Object& object, const std::string& key);
std::string decodeString(const Object& object, const std::string& key);
// A UUID text (8-4-4-4-12 hexadecimal digits, either case), in upper case.
std::string decodeUuid(const Object& object, const std::string& key);

// A floating value as it is encoded, so that decoding always takes it back: JSON has no NaN or infinity
// (nlohmann writes them as null), so a non-finite value encodes as 0.
double encodableNumber(double value) noexcept;

}  // namespace Orvane::KeyedCoding
