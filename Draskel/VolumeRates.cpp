// The per-tick step of a volume record: from two counter samples to deltas, speed texts, maxima, loads
// and histories.
#include <cmath>

#include "Bexlan/DiskUtilities.hpp"
#include "Draskel/Volume.hpp"
#include "Platform/Foundation/SaturatingCast.hpp"

namespace Draskel {

namespace {

// The rate text of a volume: always bytes per second, in whole units below a gigabyte per second.
std::string rateText(std::uint64_t bytesPerSecond) {
  return Bexlan::DiskUtilities::rateStringVariant(bytesPerSecond, false);
}

// Drops the oldest entry and appends `value`, so a history keeps its length; an empty one stays empty.
void shift(std::vector<double>& history, double value) {
  if (history.empty()) return;
  history.erase(history.begin());
  history.push_back(value);
}

// The state of one direction (read or write) of the record.
struct Direction {
  std::uint64_t& delta;
  std::uint64_t& maximum;
  std::string& maximumText;
  double& load;
  std::vector<double>& history;
  bool& isMoving;
  std::string& speed;
};

void advance(Direction direction, std::uint64_t previous, std::uint64_t current, double interval) {
  // The counters are compared as integers for the delta (doubles cannot tell apart counters above 2^53
  // that differ a little); the difference in double precision drives everything else.
  const double difference = static_cast<double>(current) - static_cast<double>(previous);
  direction.delta = current >= previous ? current - previous : 0;
  if (difference >= 0) {
    if (difference > static_cast<double>(direction.maximum)) {
      direction.maximum = platform::saturatingCast<std::uint64_t>(difference);
      direction.maximumText = rateText(Volume::bytesPerSecond(difference, interval));
    }
    // 0 / 0 while the direction has never moved a byte: NaN, on purpose.
    direction.load = difference / static_cast<double>(direction.maximum);
    shift(direction.history, direction.load);
    direction.isMoving = difference > 0;
    direction.speed = rateText(Volume::bytesPerSecond(difference, interval));
  } else {
    direction.isMoving = false;
    direction.load = 0;
    direction.speed = rateText(0);
  }
}

}  // namespace

std::uint64_t Volume::bytesPerSecond(double delta, double interval) {
  return platform::saturatingCast<std::uint64_t>(interval > 0 ? delta * (1 / interval) : delta);
}

void Volume::update(std::uint64_t bytesRead, std::uint64_t bytesWritten, double interval) {
  const PropertyDictionary counters{
      {std::string(VolumeStatistics::bytesReadKey), platform::Number::of(bytesRead)},
      {std::string(VolumeStatistics::bytesWrittenKey), platform::Number::of(bytesWritten)},
  };
  update(std::make_shared<const VolumeStatistics>(counters), interval);
}

void Volume::update(std::shared_ptr<const VolumeStatistics> statistics, double interval) {
  if (!statistics) return;
  oldStatistics = std::move(currentStatistics);
  currentStatistics = std::move(statistics);
  if (!oldStatistics) return;
  if (currentStatistics->isEmpty()) {
    oldStatistics = currentStatistics;
    return;
  }
  advance({readDelta, maxReadSpeed, maxReadSpeedString, readLoad, readHistory, isReading, readSpeed},
          oldStatistics->bytesRead, currentStatistics->bytesRead, interval);
  advance({writeDelta, maxWriteSpeed, maxWriteSpeedString, writeLoad, writeHistory, isWriting, writeSpeed},
          oldStatistics->bytesWritten, currentStatistics->bytesWritten, interval);
  const bool bothNaN = std::isnan(readLoad) && std::isnan(writeLoad);
  shift(loadHistory, bothNaN ? 0 : writeLoad >= readLoad ? writeLoad : readLoad);
}

}  // namespace Draskel
