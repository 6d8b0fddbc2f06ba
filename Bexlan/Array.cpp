#include "Bexlan/Array.hpp"

#include <sys/stat.h>

#include <utility>

#include "Bexlan/RamerDouglasPeucker.hpp"
#include "Platform/Foundation/SaturatingCast.hpp"

namespace Bexlan::Array {

namespace {

// The distant past, 0001-01-01 00:00 UTC, in seconds since 1970.
constexpr std::int64_t distantPast = -62135596800;

std::vector<Point> indexedPoints(const std::vector<double>& values) {
  std::vector<Point> points;
  points.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) {
    points.push_back({static_cast<double>(i), values[i]});
  }
  return points;
}

std::pair<std::int64_t, long> modificationTime(const std::filesystem::path& file) {
  struct stat status {};
  if (::stat(file.c_str(), &status) != 0) {
    return {distantPast, 0};
  }
  return {status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

}  // namespace

std::vector<double> cgFloatValues(const std::vector<platform::Number>& numbers) {
  std::vector<double> values;
  values.reserve(numbers.size());
  for (const platform::Number& number : numbers) {
    values.push_back(static_cast<double>(number.floatValue()));
  }
  return values;
}

std::vector<double> simplified(const std::vector<double>& values) {
  const std::vector<Point> kept = RamerDouglasPeucker::simplify(indexedPoints(values), 1.0);
  std::vector<double> result;
  result.reserve(kept.size());
  for (const Point& point : kept) {
    result.push_back(point.y);
  }
  return result;
}

std::vector<std::int64_t> simplified(const std::vector<std::int64_t>& values) {
  std::vector<double> widened;
  widened.reserve(values.size());
  for (std::int64_t value : values) {
    widened.push_back(static_cast<double>(value));
  }
  const std::vector<double> kept = simplified(widened);
  std::vector<std::int64_t> result;
  result.reserve(kept.size());
  for (double value : kept) {
    result.push_back(platform::saturatingCast<std::int64_t>(value));
  }
  return result;
}

std::optional<std::filesystem::path> mostRecentlyModified(const std::vector<std::filesystem::path>& files) {
  std::optional<std::filesystem::path> newest;
  std::pair<std::int64_t, long> newestTime{};
  for (const std::filesystem::path& file : files) {
    const std::pair<std::int64_t, long> time = modificationTime(file);
    if (!newest || time > newestTime) {
      newest = file;
      newestTime = time;
    }
  }
  return newest;
}

}  // namespace Bexlan::Array
