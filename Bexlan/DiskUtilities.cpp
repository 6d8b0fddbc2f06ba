#include "Bexlan/DiskUtilities.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "Bexlan/String.hpp"
#include "Platform/Foundation/TextFormat.hpp"

namespace Bexlan {
namespace {

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::uint64_t>::max();

// Whole-number texts need no printf: an integer has no locale-dependent characters.
std::string wholeText(std::uint64_t count, std::string_view unit) {
  std::array<char, 32> buffer;
  char* end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), count).ptr;
  std::string text;
  text.reserve(static_cast<std::size_t>(end - buffer.data()) + unit.size());
  text.append(buffer.data(), end).append(unit);
  return text;
}

// The units of sizes from kibibytes on, one per power of 1024.
constexpr std::array<std::string_view, 6> kSizeUnits{" KB", " MB", " GB", " TB", " PB", " EB"};

// "1.50" -> "1.5", "2.00" -> "2", "1024.00" -> "1024". The text always holds a decimal point, so only
// fraction digits are removed.
void trimFraction(std::string& number) {
  while (number.back() == '0') number.pop_back();
  if (number.back() == '.') number.pop_back();
}

enum class Form { fractional, whole };

std::string byteRate(std::uint64_t bytes, Form form) {
  if (bytes < kibibyte) return wholeText(bytes, " B/s");
  if (bytes < mebibyte) return wholeText(bytes / kibibyte, " KB/s");
  if (bytes < gibibyte) {
    if (form == Form::whole) return wholeText(bytes / mebibyte, " MB/s");
    return platform::formatC("%.2f MB/s", std::ldexp(static_cast<double>(bytes), -20));
  }
  return platform::formatC("%.2f GB/s", std::ldexp(static_cast<double>(bytes), -30));
}

std::string bitRate(std::uint64_t bits, Form form) {
  if (bits < kilobyte) return wholeText(bits, " b/s");
  if (bits < megabyte) return wholeText(bits / kilobyte, " Kb/s");
  if (bits < gigabyte) {
    if (form == Form::whole) return wholeText(bits / megabyte, " Mb/s");
    return platform::formatC("%.2f Mb/s", static_cast<double>(bits) / 1e6);
  }
  if (form == Form::whole) return wholeText(bits / gigabyte, " Gb/s");
  return platform::formatC("%.2f Gb/s", static_cast<double>(bits) / 1e9);
}

std::string rateText(std::uint64_t bytesPerSecond, bool inBits, Form form) {
  if (!inBits) return byteRate(bytesPerSecond, form);
  // Counts of 2^61 bytes and more would overflow; they saturate at the largest count.
  const std::uint64_t bits = bytesPerSecond > kMaxCount / 8 ? kMaxCount : bytesPerSecond * 8;
  return bitRate(bits, form);
}

// (1 / interval) * bytes truncated toward zero, or nothing when the interval is not positive or the
// quotient is not finite or does not fit 64 bits (converting such a double to an integer is undefined).
std::optional<std::uint64_t> perSecond(std::uint64_t bytes, double interval) {
  if (!(interval > 0)) return std::nullopt;
  const double rate = (1 / interval) * static_cast<double>(bytes);
  if (!(rate < 0x1p64)) return std::nullopt;  // also false for NaN
  return static_cast<std::uint64_t>(rate);
}

std::string intervalRateText(std::uint64_t bytes, bool inBits, double interval, Form form) {
  const std::optional<std::uint64_t> rate = perSecond(bytes, interval);
  return rate ? rateText(*rate, inBits, form) : String::dash();
}

}  // namespace

std::string DiskUtilities::bytesString(std::uint64_t bytes) {
  if (bytes < kibibyte) return wholeText(bytes, " B");
  // The power of 1024 below the count: 1 for kibibytes up to 6 for exbibytes.
  const int power = (std::bit_width(bytes) - 1) / 10;
  const int decimals = power == 2 ? 1 : 2;  // megabytes show one decimal
  std::string text = platform::formatC("%.*f", decimals, std::ldexp(static_cast<double>(bytes), -10 * power));
  trimFraction(text);
  return text.append(kSizeUnits[power - 1]);
}

std::string DiskUtilities::rateString(std::uint64_t bytesPerSecond, bool inBits) {
  return rateText(bytesPerSecond, inBits, Form::fractional);
}

std::string DiskUtilities::rateString(std::uint64_t bytes, bool inBits, double interval) {
  return intervalRateText(bytes, inBits, interval, Form::fractional);
}

std::string DiskUtilities::rateStringVariant(std::uint64_t bytesPerSecond, bool inBits) {
  return rateText(bytesPerSecond, inBits, Form::whole);
}

std::string DiskUtilities::rateStringVariant(std::uint64_t bytes, bool inBits, double interval) {
  return intervalRateText(bytes, inBits, interval, Form::whole);
}

}  // namespace Bexlan
