#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "Platform/Foundation/Number.hpp"

// Operations on arrays. Taking every layer of a list out of its superlayer is
// platform::removeAllFromSuperlayer (Platform/Graphics/RemoveAllFromSuperlayer.hpp).
namespace Bexlan::Array {

// Consecutive pieces of n elements in order, the last one shorter when the count is not a multiple of n.
// An empty array, and an n of 0 or less, give [].
template <class T>
std::vector<std::vector<T>> chunked(const std::vector<T>& elements, std::int64_t n) {
  std::vector<std::vector<T>> pieces;
  if (n <= 0) {
    return pieces;
  }
  const std::size_t size = static_cast<std::size_t>(n);
  pieces.reserve(elements.size() / size + 1);
  for (std::size_t start = 0; start < elements.size(); start += size) {
    const std::size_t end = start + std::min(size, elements.size() - start);
    pieces.emplace_back(elements.begin() + static_cast<std::ptrdiff_t>(start),
                        elements.begin() + static_cast<std::ptrdiff_t>(end));
  }
  return pieces;
}

// The elements whose index (from 0) is a multiple of n, in order; a negative n counts as its magnitude,
// and an n of 0 gives [].
template <class T>
std::vector<T> strided(const std::vector<T>& elements, std::int64_t n) {
  std::vector<T> kept;
  if (n == 0) {
    return kept;
  }
  const std::uint64_t magnitude = n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
  for (std::uint64_t i = 0; i < elements.size();
       i += magnitude) {  // i < count and magnitude <= 2^63: no overflow
    kept.push_back(elements[static_cast<std::size_t>(i)]);
  }
  return kept;
}

// Removes the first element equal to `element`; nothing happens when there is none.
template <class T>
void remove(std::vector<T>& elements, const T& element) {
  for (auto it = elements.begin(); it != elements.end(); ++it) {
    if (*it == element) {
      elements.erase(it);
      return;
    }
  }
}

// Each number's single-precision value, widened: a double is rounded to float first.
std::vector<double> cgFloatValues(const std::vector<platform::Number>& numbers);

// The values that polyline simplification with tolerance 1 keeps, each element taken as the point
// (index, value). The integer form passes its values through double precision and truncates them back
// toward zero (saturating at the limits of int64). The double form serves CGFloat arrays as well.
std::vector<std::int64_t> simplified(const std::vector<std::int64_t>& values);
std::vector<double> simplified(const std::vector<double>& values);

// The file with the latest content modification date (stat's st_mtim); a file whose date cannot be read
// counts as 0001-01-01. Among equal dates the first in the list wins; an empty list gives nothing.
std::optional<std::filesystem::path> mostRecentlyModified(const std::vector<std::filesystem::path>& files);

}  // namespace Bexlan::Array
