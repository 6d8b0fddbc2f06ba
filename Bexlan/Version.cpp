#include "Bexlan/Version.hpp"

#include <cstddef>
#include <string_view>

namespace Bexlan {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The run of digits that starts at `position`, without its leading zeros; `position` moves past the run.
std::string_view digitRun(std::string_view text, size_t& position) {
  const size_t start = position;
  while (position < text.size() && isDigit(text[position])) ++position;
  std::string_view run = text.substr(start, position - start);
  const size_t firstSignificant = run.find_first_not_of('0');
  return firstSignificant == std::string_view::npos ? std::string_view() : run.substr(firstSignificant);
}

int sign(int value) { return (value > 0) - (value < 0); }

}  // namespace

int Version::compare(const std::string& a, const std::string& b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      // Without leading zeros, a longer run is a larger number; runs of one length compare digit by digit.
      const std::string_view left = digitRun(a, i);
      const std::string_view right = digitRun(b, j);
      if (left.size() != right.size()) return left.size() < right.size() ? -1 : 1;
      if (const int order = left.compare(right); order != 0) return sign(order);
      continue;
    }
    const auto left = static_cast<unsigned char>(a[i++]);
    const auto right = static_cast<unsigned char>(b[j++]);
    if (left != right) return left < right ? -1 : 1;
  }
  const bool aLeft = i < a.size();
  const bool bLeft = j < b.size();
  return aLeft == bLeft ? 0 : (aLeft ? 1 : -1);
}

}  // namespace Bexlan
