#include "Bexlan/DiskUtilities.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "Bexlan/String.hpp"

namespace Bexlan {
namespace {

constexpr std::uint64_t kMaxCount = std::numeric_limits<std::uint64_t>::max();

// The digits of a number as printf writes them with "%llu" or "%.<decimals>f" in the "C" locale:
// std::to_chars is specified to do so and never consults the locale, so a German locale still gives "1.5".
class Digits {
 public:
  explicit Digits(std::uint64_t count) : length_(written(std::to_chars(first(), last(), count))) {}
  Digits(double value, int decimals)
      : length_(written(std::to_chars(first(), last(), value, std::chars_format::fixed, decimals))) {}

  // "1.50" -> "1.5", "2.00" -> "2", "1024.00" -> "1024". Only for decimal texts, which always hold a
  // point, so no digit of the whole part is removed.
  void trimFraction() {
    while (buffer_[length_ - 1] == '0') --length_;
    if (buffer_[length_ - 1] == '.') --length_;
  }

  std::string withUnit(std::string_view unit) const {
    std::string text;
    text.reserve(length_ + unit.size());
    return text.append(buffer_.data(), length_).append(unit);
  }

 private:
  char* first() { return buffer_.data(); }
  char* last() { return buffer_.data() + buffer_.size(); }
  std::size_t written(std::to_chars_result result) const {
    return static_cast<std::size_t>(result.ptr - buffer_.data());
  }

  // Large enough for every text made here: a 64-bit count has 20 digits, and every decimal value stays
  // below 2^64 / 10^9 (11 digits before the point).
  std::array<char, 32> buffer_;
  std::size_t length_;
};

std::string wholeText(std::uint64_t count, std::string_view unit) { return Digits(count).withUnit(unit); }

std::string decimalText(double value, std::string_view unit) { return Digits(value, 2).withUnit(unit); }

// The units of sizes from kibibytes on, one per power of 1024.
constexpr std::array<std::string_view, 6> kSizeUnits{" KB", " MB", " GB", " TB", " PB", " EB"};

enum class Form { fractional, whole };

std::string byteRate(std::uint64_t bytes, Form form) {
  if (bytes < kibibyte) return wholeText(bytes, " B/s");
  if (bytes < mebibyte) return wholeText(bytes / kibibyte, " KB/s");
  if (bytes < gibibyte) {
    if (form == Form::whole) return wholeText(bytes / mebibyte, " MB/s");
    return decimalText(std::ldexp(static_cast<double>(bytes), -20), " MB/s");
  }
  return decimalText(std::ldexp(static_cast<double>(bytes), -30), " GB/s");
}

std::string bitRate(std::uint64_t bits, Form form) {
  if (bits < kilobyte) return wholeText(bits, " b/s");
  if (bits < megabyte) return wholeText(bits / kilobyte, " Kb/s");
  if (bits < gigabyte) {
    if (form == Form::whole) return wholeText(bits / megabyte, " Mb/s");
    return decimalText(static_cast<double>(bits) / 1e6, " Mb/s");
  }
  if (form == Form::whole) return wholeText(bits / gigabyte, " Gb/s");
  return decimalText(static_cast<double>(bits) / 1e9, " Gb/s");
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
  const int power = (static_cast<int>(std::bit_width(bytes)) - 1) / 10;
  const int decimals = power == 2 ? 1 : 2;  // megabytes show one decimal
  Digits number(std::ldexp(static_cast<double>(bytes), -10 * power), decimals);
  number.trimFraction();
  return number.withUnit(kSizeUnits[power - 1]);
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
