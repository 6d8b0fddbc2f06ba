#include "Draskel/MainVolume.hpp"

#include <cstdint>
#include <random>

#include "Bexlan/DiskUtilities.hpp"

namespace Draskel {

std::shared_ptr<Volume> MainVolume::demoVolume() {
  auto volume = std::make_shared<Volume>();
  volume->name = "Macintosh HD";
  volume->isInternal = true;
  volume->readLoad = 0.66;
  volume->writeLoad = 0.66;
  volume->isReading = true;
  volume->isWriting = true;
  volume->readSpeed = Bexlan::DiskUtilities::rateString(16'973'824, false);
  volume->writeSpeed = Bexlan::DiskUtilities::rateString(3'538'944, false);
  volume->totalBytes = 2'199'023'255'552;
  volume->freeBytes = 164'926'744'166;
  // A generator of its own per call: previews may be made on any thread.
  std::mt19937 random(std::random_device{}());
  for (int i = 0; i < 60; ++i) {
    const std::uint32_t r1 = random();
    const std::uint32_t r2 = random();
    const double read = static_cast<double>(r1 % 100) / 100;
    const double write = static_cast<double>(r2 % 100) / 100;
    volume->readHistory.push_back(read);
    volume->writeHistory.push_back(write);
    volume->loadHistory.push_back(write >= read ? write : read);
  }
  return volume;
}

}  // namespace Draskel
