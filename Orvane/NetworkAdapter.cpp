#include "Orvane/NetworkAdapter.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "Platform/Foundation/SaturatingCast.hpp"

namespace Orvane {

namespace {

size_t checkedSize(std::int64_t size) {
  if (size < 0) throw std::invalid_argument("NetworkAdapter: history size must not be negative");
  return static_cast<size_t>(size);
}

double highest(const std::vector<double>& history) {
  return history.empty() ? 0.0 : *std::max_element(history.begin(), history.end());
}

}  // namespace

// The fields of one direction (download or upload), so both run the same steps.
struct NetworkAdapter::Direction {
  bool& first;
  std::uint64_t& oldCounter;
  std::uint64_t& rate;
  std::uint64_t& peak;
  std::vector<double>& history;
  std::vector<double>& maxHistory;
  std::int64_t& pending;

  void update(std::uint64_t counter, double interval) {
    if (first) {
      oldCounter = counter;
      rate = 0;
      first = false;
      return;
    }
    std::uint64_t newRate = bytesPerSecond(counterDifference(oldCounter, counter), interval);
    oldCounter = counter;
    set(newRate);
    append(newRate);
  }

  void restart() {
    first = true;
    rate = 0;
  }

  void set(std::uint64_t newRate) {
    peak = std::max(peak, newRate);
    rate = newRate;
  }

  void append(std::uint64_t newRate) {
    if (pending <= 1) {
      ++pending;
      return;
    }
    for (auto* samples : {&history, &maxHistory}) {
      if (samples->empty()) continue;
      samples->erase(samples->begin());
      samples->push_back(static_cast<double>(newRate));
    }
  }
};

NetworkAdapter::NetworkAdapter(std::string interfaceName, std::int64_t historySize)
    : identifier(std::move(interfaceName)) {
  resizeHistory(historySize);
}

std::uint64_t NetworkAdapter::bytesPerSecond(std::uint64_t difference, double interval) noexcept {
  if (!(interval > 0)) return difference;
  return platform::saturatingCast<std::uint64_t>((1.0 / interval) * static_cast<double>(difference));
}

std::uint64_t NetworkAdapter::counterDifference(std::uint64_t previous, std::uint64_t current) noexcept {
  constexpr std::uint64_t max32 = std::numeric_limits<std::uint32_t>::max();
  if (previous <= current) return current - previous;
  if (previous <= max32) return max32 - previous + current;
  return 0;
}

void NetworkAdapter::resizeHistory(std::int64_t n) {
  size_t size = checkedSize(n);
  historyDownload.assign(size, 0.0);
  historyUpload.assign(size, 0.0);
  maxDownloadHistory.assign(2 * size, 0.0);
  maxUploadHistory.assign(2 * size, 0.0);
}

NetworkAdapter::Direction NetworkAdapter::download() {
  return {firstDownloadRefresh_, oldDownload,        downloadBytesDiff, maxDownloadBytes,
          historyDownload,       maxDownloadHistory, downloads};
}

NetworkAdapter::Direction NetworkAdapter::upload() {
  return {firstUploadRefresh_, oldUpload,        uploadBytesDiff, maxUploadBytes,
          historyUpload,       maxUploadHistory, uploads};
}

void NetworkAdapter::updateDownload(std::uint64_t counter, double interval) {
  download().update(counter, interval);
}
void NetworkAdapter::updateUpload(std::uint64_t counter, double interval) {
  upload().update(counter, interval);
}
void NetworkAdapter::restartCounters() {
  upload().restart();
  download().restart();
}
void NetworkAdapter::setDownload(std::uint64_t rate) { download().set(rate); }
void NetworkAdapter::setUpload(std::uint64_t rate) { upload().set(rate); }
void NetworkAdapter::appendDownloadHistory(std::uint64_t rate) { download().append(rate); }
void NetworkAdapter::appendUploadHistory(std::uint64_t rate) { upload().append(rate); }
double NetworkAdapter::highestDownload() const { return highest(maxDownloadHistory); }
double NetworkAdapter::highestUpload() const { return highest(maxUploadHistory); }

}  // namespace Orvane
