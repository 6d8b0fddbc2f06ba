#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Orvane/AdapterType.hpp"

namespace Orvane {

// One network interface as the network monitor keeps it: names, kind, addresses, Wi-Fi facts, and the
// download and upload rates it computes from the interface's byte counters, with their peaks and rolling
// histories. The counters and their differences are 64-bit: 32-bit ones lose 4 GiB per interval on a fast
// link. Shared by reference (std::shared_ptr); used from one thread, so it has no lock.
//
// Per direction an adapter goes through three phases: the first update only records the counter; the next
// two compute and publish rates that the histories do not keep yet; from then on every rate is appended and
// the oldest one dropped. Resizing the histories empties them back to zeros but keeps the phase.
class NetworkAdapter {
 public:
  // Throws std::invalid_argument when historySize is negative.
  NetworkAdapter(std::string identifier, std::int64_t historySize);

  // The rate of `difference` bytes over `interval` seconds: (1 / interval) * difference truncated to whole
  // bytes per second, saturated at the 64-bit maximum; the difference itself when the interval is zero,
  // negative or NaN.
  static std::uint64_t bytesPerSecond(std::uint64_t difference, double interval) noexcept;

  // The bytes between two readings of a counter. A counter below the previous one has wrapped when both
  // fit in 32 bits (the difference is then 4294967295 - previous + current, one less than the modular
  // one, as the monitor has always computed it); a larger counter that went down was reset and gives 0.
  static std::uint64_t counterDifference(std::uint64_t previous, std::uint64_t current) noexcept;

  // Histories of n zeros, max-histories of 2n zeros. Throws std::invalid_argument when n is negative.
  void resizeHistory(std::int64_t n);

  // Takes the interface's received-bytes counter: the first call records it, later calls turn the
  // counterDifference to the previous counter into the download rate.
  void updateDownload(std::uint64_t counter, double interval);
  // The same with the sent-bytes counter and the upload rate.
  void updateUpload(std::uint64_t counter, double interval);

  // Forgets both counters, as when the interface was reset or made anew: the rates are 0 and the next
  // update of each direction only records its counter, as the first one does. The peaks, the histories and
  // the warm-up are left as they are.
  void restartCounters();

  // Publishes a rate without touching the histories: the rate and the peak since creation.
  void setDownload(std::uint64_t rate);
  void setUpload(std::uint64_t rate);

  // Appends the rate to the history and max-history, dropping their oldest sample, once two rates have
  // gone by since creation (those two are only counted). With a history size of 0 nothing is kept.
  void appendDownloadHistory(std::uint64_t rate);
  void appendUploadHistory(std::uint64_t rate);

  // The peak rate over the max-history (the last 2 x history size admitted rates); 0 when it is empty.
  double highestDownload() const;
  double highestUpload() const;

  // True when a security mode is known and is not the no-security value 0.
  bool isSecured() const { return security.has_value() && *security != 0; }

  // The interface name (eth0, wlp2s0): the adapter's key everywhere.
  std::string identifier;
  // The display name of the interface.
  std::optional<std::string> name;
  // Counters at the previous update.
  std::uint64_t oldDownload = 0;
  std::uint64_t oldUpload = 0;
  // The latest rates in bytes per second (rates, despite the names).
  std::uint64_t downloadBytesDiff = 0;
  std::uint64_t uploadBytesDiff = 0;
  // The highest rates since creation.
  std::uint64_t maxUploadBytes = 0;
  std::uint64_t maxDownloadBytes = 0;
  // Rolling rates: the max-histories are twice as long as the histories and receive the same rates.
  std::vector<double> maxDownloadHistory;
  std::vector<double> maxUploadHistory;
  std::vector<double> historyDownload;
  std::vector<double> historyUpload;
  // Rates not yet admitted to the histories: counts 0, 1, 2 and stays at 2.
  std::int64_t downloads = 0;
  std::int64_t uploads = 0;
  AdapterType type = AdapterType::unknown;
  std::optional<std::string> ipv4;
  std::optional<std::string> ipv6;
  // The kernel's index of the interface whose counters were taken last: one made anew under the same name
  // has another. Absent until counters are taken.
  std::optional<int> interfaceIndex;
  // Wi-Fi facts: noise and received signal strength in dBm, transmit rate in Mbit/s, network name, and the
  // security mode as the platform numbers it (0: none).
  std::optional<std::int64_t> noise;
  std::optional<double> transmitRate;
  std::optional<std::int64_t> rssiValue;
  std::optional<std::string> serviceSetIdentifier;
  std::optional<std::int64_t> security;

 private:
  struct Direction;
  Direction download();
  Direction upload();

  bool firstUploadRefresh_ = true;
  bool firstDownloadRefresh_ = true;
};

}  // namespace Orvane
