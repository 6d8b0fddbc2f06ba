// Every text parser of the system readers over damaged copies of recorded files: none may crash or read out
// of bounds (the sanitizer builds check that), and whatever a parse accepts must still be well-formed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/BlockDeviceStat.hpp"
#include "Platform/System/CpuList.hpp"
#include "Platform/System/CpuStat.hpp"
#include "Platform/System/CpuTopology.hpp"
#include "Platform/System/HostMemory.hpp"
#include "Platform/System/MemInfo.hpp"
#include "Platform/System/MountInfo.hpp"
#include "Platform/System/ProcessStat.hpp"
#include "Platform/System/RouteTable.hpp"
#include "Platform/System/SocketTable.hpp"
#include "tests/platform/System/NetworkFixtures.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

// A parser over one recorded text: `parse` says whether it accepted a text, checking what it accepted.
struct Parser {
  std::string what;
  std::string text;
  std::function<bool(std::string_view)> parse;
};

// `parse` accepts a text when it gives a value, which `check` then looks at beside the text.
constexpr auto noCheck = [](const auto&, std::string_view) {};
template <class Parse, class Check = decltype(noCheck)>
std::function<bool(std::string_view)> accepting(Parse parse, Check check = noCheck) {
  return [=](std::string_view text) {
    const auto value = parse(text);
    if (value) check(*value, text);
    return value.has_value();
  };
}

std::vector<Parser> parsers() {
  const platform::FileTreeTextSource sample(systemtest::samplePath(0));
  platform::CpuStat recordedStat;
  EXPECT_TRUE(platform::parseCpuStat(sample.read("/proc/stat").value(), recordedStat));
  const std::size_t processors = recordedStat.perCpu.size();
  // The first two processor blocks.
  std::string cpuinfo = sample.read("/proc/cpuinfo").value();
  cpuinfo.resize(cpuinfo.find("\n\n", cpuinfo.find("\n\n") + 2) + 2);
  std::vector<Parser> result = {
      // Every value came from a whole "<n> kB" line.
      {"meminfo", sample.read("/proc/meminfo").value(),
       accepting(platform::parseMemInfo,
                 [](const auto& info, auto) { EXPECT_EQ((info.total | info.active) % 1024, 0u); })},
      // A round makes at most four changes, each adding at most one line.
      {"stat", sample.read("/proc/stat").value(),
       [processors](std::string_view text) {
         platform::CpuStat parsed;
         if (!platform::parseCpuStat(text, parsed)) return false;
         EXPECT_LE(parsed.perCpu.size(), processors + 4);
         return true;
       }},
      {"cpu list", "0-3,5,7-11\n",
       accepting(platform::parseCpuList,
                 [](const auto& cpus, auto) {
                   EXPECT_TRUE(std::is_sorted(cpus.begin(), cpus.end()));
                   EXPECT_EQ(std::adjacent_find(cpus.begin(), cpus.end()), cpus.end());
                   EXPECT_TRUE(cpus.empty() || cpus.back() <= platform::maxCpuNumber);
                 })},
      {"cpuinfo", cpuinfo, [](std::string_view text) { return !platform::parseCpuInfoClocks(text).empty(); }},
      {"clock", "3228000\n", accepting(platform::parseKilohertz)},
      {"zram", "4096000 1000000 1200000 0 1500000 10 2 0 0\n", accepting(platform::parseZramMemoryUsed)},
      {"route", networktest::fixture("laptop").read("/proc/net/route").value(),
       accepting(platform::parsePrimaryInterface,
                 [](const auto& name, std::string_view text) { EXPECT_NE(text.find(name), text.npos); })}};
  for (auto path : {platform::tcpTablePath, platform::tcp6TablePath, platform::udpTablePath}) {
    result.push_back({std::string(path), networktest::fixture("host").read(std::string(path)).value(),
                      [](std::string_view text) {
                        const auto rows = platform::parseSocketTable(text);
                        for (const auto& row : rows) {
                          EXPECT_TRUE(row.local.family == AF_INET || row.local.family == AF_INET6);
                          EXPECT_TRUE(row.remote.family == AF_INET || row.remote.family == AF_INET6);
                        }
                        return !rows.empty();
                      }});
  }
  // Four processes' stat and statm. The name is a view inside the text, between its parentheses.
  int processes = 0;
  for (const auto& directory : std::filesystem::directory_iterator(systemtest::samplePath(0) / "proc")) {
    if (processes == 4 || !std::filesystem::exists(directory.path() / "statm")) continue;
    ++processes;
    result.push_back({directory.path() / "stat", systemtest::fileText(directory.path() / "stat"),
                      accepting(platform::parseProcessStat, [](const auto& stat, std::string_view text) {
                        EXPECT_GE(stat.name.data(), text.data() + 1);
                        EXPECT_LE(stat.name.data() + stat.name.size(), text.data() + text.size());
                        EXPECT_EQ(stat.name.data()[-1], '(');
                        EXPECT_GE(stat.pid, 0);
                      })});
    result.push_back({directory.path() / "statm", systemtest::fileText(directory.path() / "statm"),
                      accepting(platform::parseStatmResidentPages)});
  }
  EXPECT_EQ(processes, 4);
  return result;
}

TEST(ParserMutationTest, TextParsersAcceptTheRecordedTextsAndOnlyWellFormedDamage) {
  for (const auto& [what, text, parse] : parsers()) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(parse(text));
    systemtest::forEachMutation(text, [&](std::string_view damaged) { parse(damaged); });
  }
}

// Parses `text` damaged in every way, checking that there are no more entries than lines, that `wellFormed`
// holds for each, and that a text cut short gives the full text's entries in order, but for a last one that
// may be a line cut short.
template <class Entry>
void survivesDamage(const std::string& text, const std::function<std::vector<Entry>(std::string_view)>& parse,
                    const std::function<bool(const Entry&)>& wellFormed) {
  const std::vector<Entry> full = parse(text);
  systemtest::forEachMutation(text, [&](std::string_view mutated) {
    const std::vector<Entry> entries = parse(mutated);
    ASSERT_LE(entries.size(), platform::textfields::splitLines(mutated).size());
    for (const Entry& entry : entries) ASSERT_TRUE(wellFormed(entry));
    if (!std::string_view(text).starts_with(mutated)) return;
    ASSERT_LE(entries.size(), full.size()) << "cut at " << mutated.size();
    for (std::size_t i = 0; i + 1 < entries.size(); ++i) ASSERT_EQ(entries[i], full[i]) << mutated.size();
  });
}

TEST(ParserMutationTest, MountInfoAndDiskStatsKeepTheirEntriesInOrder) {
  const auto machine = volumetest::fixtureTree("machine");
  // The btrfs table cut short ends in options such as "subvol=" with an empty value.
  for (const char* tree : {"machine", "btrfs-root"}) {
    survivesDamage<platform::MountInfoEntry>(
        volumetest::fixtureTree(tree)->read("/proc/self/mountinfo").value(),
        [](std::string_view text) { return platform::MountInfo::parse(text).entries; },
        [](const auto& entry) { return !entry.mountPoint.empty() && !entry.fileSystemType.empty(); });
  }
  survivesDamage<platform::DiskStatsEntry>(
      machine->read("/proc/diskstats").value(), platform::parseDiskStats,
      [](const auto& entry) { return platform::isPlainDeviceName(entry.name); });
}

// `text` with a few bytes replaced by random ones, spaces, colons, backslashes and line ends favoured.
std::string flipBytes(std::string text, std::mt19937& random) {
  if (text.empty()) return text;
  static constexpr char favoured[] = {' ', '\n', ':', '\\', '-', '0', '9', '/', '\0'};
  for (int flips = 1 + static_cast<int>(random() % 4); flips > 0; --flips) {
    text[random() % text.size()] =
        random() % 2 ? static_cast<char>(random() & 0xFF) : favoured[random() % sizeof favoured];
  }
  return text;
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
    const unsigned kind = random() % 8;
    if (kind == 0 || !text) return std::nullopt;
    return kind <= 2 ? flipBytes(*text, random) : *text;
  }

  std::shared_ptr<const platform::TextSource> tree_ = volumetest::fixtureTree("machine");
  unsigned seed_;
};

TEST(ParserMutationTest, DeviceFactsSurviveChangedAttributesAndLinks) {
  for (unsigned round = 0; round < 500; ++round) {
    const MutatedTree source(round);
    for (const char* name :
         {"sda", "sda2", "sdb1", "sdc", "sr0", "nvme0n1p2", "mmcblk0p1", "vda", "loop0p1", "dm-0"}) {
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
