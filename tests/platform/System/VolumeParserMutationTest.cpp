// Randomized tests over mutated recorded text: every parser of the block-device readers must survive
// truncation at every offset, flipped bytes, huge numbers and missing fields without crashing or reading
// out of bounds (run them under AddressSanitizer), and must never invent or reorder entries.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/BlockDeviceStat.hpp"
#include "Platform/System/MountInfo.hpp"
#include "Platform/System/TextFields.hpp"
#include "tests/platform/System/SystemFixtures.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

std::string fixtureText(const char* path) {
  const auto text = volumetest::fixtureTree("machine")->read(path);
  EXPECT_TRUE(text.has_value()) << path;
  return text.value_or(std::string());
}

// `text` with a few bytes replaced by random ones, spaces, colons, backslashes and line ends favoured.
std::string flipBytes(std::string text, std::mt19937& random) {
  if (text.empty()) return text;
  static constexpr char favoured[] = {' ', '\n', ':', '\\', '-', '0', '9', '/', '\0'};
  const int flips = 1 + static_cast<int>(random() % 4);
  for (int i = 0; i < flips; ++i) {
    text[random() % text.size()] =
        random() % 2 ? static_cast<char>(random() & 0xFF) : favoured[random() % sizeof favoured];
  }
  return text;
}

// Parses `text` cut at every offset, checking that the entries are the full text's in order except that
// the last may be a line cut short, then damaged every other way, checking that there are no more entries
// than lines and that `wellFormed` holds for each.
template <class Entry>
void survivesDamage(const std::string& text, const std::function<std::vector<Entry>(std::string_view)>& parse,
                    const std::function<bool(const Entry&)>& wellFormed) {
  const std::vector<Entry> full = parse(text);
  for (std::size_t length = 0; length <= text.size(); ++length) {
    const std::vector<Entry> cut = parse(std::string_view(text).substr(0, length));
    ASSERT_LE(cut.size(), full.size()) << "cut at " << length;
    for (std::size_t i = 0; i + 1 < cut.size(); ++i) ASSERT_EQ(cut[i], full[i]) << "cut at " << length;
  }
  systemtest::forEachMutation(text, [&](std::string_view mutated) {
    const std::vector<Entry> entries = parse(mutated);
    ASSERT_LE(entries.size(), platform::textfields::splitLines(mutated).size());
    for (const Entry& entry : entries) ASSERT_TRUE(wellFormed(entry));
  });
}

TEST(VolumeParserMutationTest, MountInfoSurvivesTruncationAndDamage) {
  survivesDamage<platform::MountInfoEntry>(
      fixtureText("/proc/self/mountinfo"),
      [](std::string_view text) { return platform::MountInfo::parse(text).entries; },
      [](const auto& entry) { return !entry.mountPoint.empty() && !entry.fileSystemType.empty(); });
}

TEST(VolumeParserMutationTest, DiskStatsSurviveTruncationDamageAndHugeNumbers) {
  const std::string text = fixtureText("/proc/diskstats");
  survivesDamage<platform::DiskStatsEntry>(text, platform::parseDiskStats, [](const auto& entry) {
    return platform::isPlainDeviceName(entry.name);
  });
  // A counter beyond 64 bits rejects its line rather than wrapping.
  std::string huge = text;
  huge.replace(huge.find("3420042"), 7, "99999999999999999999");
  const auto entries = platform::parseDiskStats(huge);
  EXPECT_EQ(entries.size(), platform::parseDiskStats(text).size() - 1);
  for (const auto& entry : entries) EXPECT_NE(entry.name, "sda");
}

// The recorded tree with some of its files and links changed: each path is changed the same way on every
// read in one round, as a file system would answer, chosen by the round's seed.
class MutatedTree final : public platform::TextSource {
 public:
  explicit MutatedTree(unsigned seed) : seed_(seed) {}

  std::optional<std::string> read(const std::string& path) const override {
    return mutate(path, tree_->read(path));
  }
  std::optional<std::vector<std::string>> list(const std::string& directory) const override {
    auto names = tree_->list(directory);
    std::mt19937 random = randomFor(directory);
    // Now and then a name that leads out of the directory, or one listed twice.
    if (names && random() % 4 == 0) names->push_back(random() % 2 || names->empty() ? ".." : names->front());
    return names;
  }
  std::optional<std::string> readLink(const std::string& path) const override {
    return mutate(path, tree_->readLink(path));
  }

 private:
  std::mt19937 randomFor(const std::string& path) const {
    return std::mt19937(static_cast<unsigned>(std::hash<std::string>()(path)) ^ seed_);
  }

  std::optional<std::string> mutate(const std::string& path, std::optional<std::string> text) const {
    std::mt19937 random = randomFor(path);
    switch (random() % 8) {
      case 0: return std::nullopt;
      case 1:
      case 2: return text ? std::optional(flipBytes(*text, random)) : std::nullopt;
      default: return text;
    }
  }

  std::shared_ptr<const platform::TextSource> tree_ = volumetest::fixtureTree("machine");
  unsigned seed_;
};

TEST(VolumeParserMutationTest, DeviceFactsSurviveChangedAttributesAndLinks) {
  const std::vector<std::string> names = {"sda",       "sda2",      "sdb1", "sdc",     "sr0",
                                          "nvme0n1p2", "mmcblk0p1", "vda",  "loop0p1", "dm-0"};
  for (unsigned round = 0; round < 500; ++round) {
    const MutatedTree source(round);
    for (const std::string& name : names) {
      if (const auto device = platform::BlockDevice::read(source, name)) {
        ASSERT_EQ(device->name, name);
        ASSERT_TRUE(platform::isPlainDeviceName(device->wholeDisk));
      }
    }
    if (const auto table = platform::MountInfo::read(source)) {
      for (const auto& mount : table->entries) {
        if (const auto name = platform::BlockDevice::nameOfMount(source, mount)) {
          ASSERT_TRUE(platform::isPlainDeviceName(*name));
        }
      }
    }
  }
}

}  // namespace
