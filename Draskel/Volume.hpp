#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Bexlan/Identifier.hpp"
#include "Draskel/VolumeCharacteristics.hpp"
#include "Draskel/VolumeDeviceProtocol.hpp"
#include "Draskel/VolumeStatistics.hpp"

namespace Draskel {

// The record of one mounted volume: what discovery learnt about it, its sizes, and the read and write
// speeds, loads, maxima and histories that its I/O counters give on every tick. Records are owned through
// std::shared_ptr (std::make_shared<Volume>(url)).
//
// The record has no lock: write and read it from the thread that refreshes the volumes, except
// `isEjecting`, which eject threads set.
class Volume {
 public:
  // The length of the histories of a record made for a mount URL.
  static constexpr std::size_t historyLength = 60;

  // A record for the volume mounted at `mountUrl`, its three histories holding 60 zeros.
  explicit Volume(std::filesystem::path mountUrl);
  // A record for "/" with empty histories, for previews and for callers that fill it themselves.
  Volume();

  Volume(const Volume&) = delete;
  Volume& operator=(const Volume&) = delete;

  // The identity of the record: its `bsdName`.
  const std::string& id() const { return bsdName; }
  // The protocol case of `deviceProtocol`; absent when that is absent or names no case.
  std::optional<VolumeDeviceProtocol> deviceProtocolType() const;

  // The display texts of the record: where it lives (startup disk, else system volume, else external
  // volume), how it is attached (when the protocol is known) and its file system (when known), the first
  // two in the current language.
  std::vector<std::string> tags() const;
  // The tags joined by `separator`.
  std::string tagText() const;
  // The symbol of the volume's kind: an SD card for a "Secure Digital" device, else an internal or an
  // external drive. Null in a program that does not link the image helpers (see Bexlan::SymbolIcons).
  Bexlan::Icon symbolImage() const;
  // The used fraction of the volume, (total - free) / total: 0 when the total is 0 or the free bytes
  // exceed it.
  double usage() const;

  // Takes the next sample of the counters; `interval` is the seconds since the previous one (0 or less for
  // a refresh out of turn, whose rates are the raw byte differences). The first sample only stores it; an
  // empty sample replaces both stored samples and changes nothing else. Otherwise each direction whose
  // counter did not go back gets its delta, speed text, maximum, load and a history entry; one that went
  // back shows "0 B/s", load 0 and is not recorded; the load history always takes the larger load. A null
  // sample is ignored.
  void update(std::shared_ptr<const VolumeStatistics> statistics, double interval);
  // The same with a sample that holds only the two byte counters.
  void update(std::uint64_t bytesRead, std::uint64_t bytesWritten, double interval);

  // `delta` bytes over `interval` seconds as whole bytes per second, truncated; the delta itself when the
  // interval is not above zero. NaN and negative rates give 0, rates beyond 64 bits the largest value.
  static std::uint64_t bytesPerSecond(double delta, double interval);

  // Loads of the last ticks, oldest first: read, write and the larger of the two per tick.
  std::vector<double> readHistory;
  std::vector<double> writeHistory;
  std::vector<double> loadHistory;
  // Between the tags in `tagText`: a blank, U+2022 and a blank.
  const std::string separator;
  // The previous and the last counter samples; both the same sample after an empty one.
  std::shared_ptr<const VolumeStatistics> oldStatistics;
  std::shared_ptr<const VolumeStatistics> currentStatistics;
  std::atomic<bool> isEjecting = false;
  // Where the volume is mounted.
  const std::filesystem::path url;
  std::string name;
  std::uint64_t totalBytes = 0;
  std::uint64_t freeBytes = 0;
  // Bytes moved in the last tick in each direction (0 when the counter went back).
  std::uint64_t readDelta = 0;
  std::uint64_t writeDelta = 0;
  bool isInternal = false;
  bool isLocal = false;
  Bexlan::Icon icon;
  bool isReadOnly = false;
  bool isVolume = false;
  bool isSystemVolume = false;
  bool isStartupVolume = false;
  bool isEjectable = false;
  bool isLocked = false;
  // The whole disk that holds the volume ("sda" for "sda2"), else `bsdName`.
  std::string rootBsdName;
  // The device that holds the file system ("sda2").
  std::string bsdName;
  // The disk description: "SATA", "USB", ... (see VolumeDeviceProtocol).
  std::optional<std::string> deviceProtocol;
  std::optional<std::string> volumeType;
  std::optional<std::string> volumeKind;
  std::optional<std::string> vendor;
  std::optional<std::string> model;
  std::optional<std::string> volumeName;
  std::optional<std::string> mediaBsdName;
  // The largest single-tick byte difference seen so far in each direction, and its rate text.
  std::uint64_t maxReadSpeed = 0;
  std::uint64_t maxWriteSpeed = 0;
  std::string maxReadSpeedString;
  std::string maxWriteSpeedString;
  std::optional<std::string> revision;
  std::shared_ptr<VolumeCharacteristics> characteristics;
  std::optional<std::string> ioDiskPath;
  // The file-system type ("ext4", "vfat").
  std::optional<std::string> fileSystem;
  // The last tick's difference over the direction's maximum: 0 to 1, NaN while the direction has never
  // moved a byte.
  double readLoad = 0;
  double writeLoad = 0;
  bool isReading = false;
  bool isWriting = false;
  // The last tick's speed texts ("512 KB/s"), "-" before the first measurement.
  std::string readSpeed;
  std::string writeSpeed;

 private:
  Volume(std::filesystem::path mountUrl, std::size_t length);
};

}  // namespace Draskel
