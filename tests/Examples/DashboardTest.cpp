// Runs the dashboard program as a user would: what it prints and draws, what it refuses, how it ends.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/Image.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

// The dashboard started through the shell, which prints its process id (kept by exec) first; the test
// reads the program's standard output line by line. Redirections in `arguments` apply after the one of
// standard error to /dev/null. A `launcher` (a command that ends by running its arguments) goes before the
// program.
struct RunningDashboard {
  explicit RunningDashboard(const std::string& arguments, const std::string& launcher = "")
      : output(::popen(
            ("echo $$; exec " + launcher + " " DASHBOARD_PROGRAM " 2>/dev/null " + arguments).c_str(), "r")),
        pid(std::stoi("0" + nextLine())) {}
  std::string nextLine() {
    char line[1024];
    return output != nullptr && std::fgets(line, sizeof line, output) != nullptr ? line : "";
  }
  bool waitForLine(const std::string& prefix) {
    for (std::string line = nextLine(); !line.empty(); line = nextLine()) {
      if (line.starts_with(prefix)) return true;
    }
    return false;
  }
  // Closes the program's output and waits for it: its exit status, -1 when a signal ended it.
  int exitStatus() {
    const int status = output != nullptr ? ::pclose(output) : -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  FILE* output;
  pid_t pid;
};

// A whole run: its exit status and what it printed on either output.
struct ProgramRun {
  int status;
  std::string output;
};
ProgramRun runDashboard(const std::string& arguments, const std::string& launcher = "") {
  RunningDashboard dashboard("2>&1 " + arguments, launcher);
  std::string output;
  for (std::string line = dashboard.nextLine(); !line.empty(); line = dashboard.nextLine()) output += line;
  return {dashboard.exitStatus(), output};
}

// The words after `row` on the first line of the block of the last tick that starts with it.
std::vector<std::string> rowWords(const std::string& block, const std::string& row) {
  const std::string start = "\n  " + row + " ";
  const std::size_t at = block.find(start);
  if (at == std::string::npos) return {};
  std::istringstream line(block.substr(at + start.size(), block.find('\n', at + 1) - at - start.size()));
  return {std::istream_iterator<std::string>(line), std::istream_iterator<std::string>()};
}

// The value printed after `label` on the line that starts with `row`.
std::string valueAfter(const std::string& block, const std::string& row, const std::string& label) {
  const std::vector<std::string> words = rowWords(block, row);
  const auto found = std::find(words.begin(), words.end(), label);
  return found != words.end() && found + 1 != words.end() ? found[1] : "";
}

// The history graphs of the picture drawn at scale 2 span 300 rows from row 84 (processor) or 460
// (memory), and the columns from 40 to 920.
constexpr int processorGraphTop = 84;
constexpr int memoryGraphTop = 460;
constexpr int graphRows = 300;

// The top row of what the graph from `graphTop` plots (teal line and area, where all else is grey or
// white) in a pixel column of the picture.
int plotTop(const platform::Image& image, int graphTop, int column) {
  int row = graphTop;
  while (row < graphTop + graphRows && image.pixel(column, row).green - image.pixel(column, row).red < 0.1) {
    ++row;
  }
  return row;
}

}  // namespace

TEST(DashboardTest, ThreeTicksPrintEveryValueAndDrawAPicture) {
  const volumetest::TemporaryDirectory directory;
  const std::string picture = directory.path() + "/dashboard.png";

  const ProgramRun run = runDashboard("--ticks 3 --interval=0.2 --png " + picture);
  ASSERT_EQ(run.status, 0) << run.output;
  const std::size_t lastTick = run.output.find("tick 3 (");
  ASSERT_NE(lastTick, std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("tick 4 ("), std::string::npos) << "stops after the asked number of ticks";
  const std::string block = "\n" + run.output.substr(lastTick);

  std::vector<std::pair<const char*, const char*>> printed = {
      {"CPU", "total"},    {"CPU", "user"},    {"CPU", "system"},  {"CPU", "tasks"},    {"CPU", "threads"},
      {"memory", "usage"}, {"memory", "used"}, {"memory", "free"}, {"network", "down"}, {"network", "up"}};
  // The disk and volume rows show the volume mounted at "/": where "/" is no mount point they stay empty.
  if (const std::string why = volumetest::whyNoRootMount(); !why.empty()) {
    std::cout << "disk and volume rows not checked: " << why << "\n";
  } else {
    printed.insert(printed.end(), {{"disk", "read"}, {"disk", "write"}, {"volume", "free"}});
  }
  for (const auto& [row, label] : printed) {
    const std::string value = valueAfter(block, row, label);
    EXPECT_FALSE(value.empty()) << row << " " << label << " printed nothing in\n" << block;
    EXPECT_NE(value, "-") << row << " " << label << " has no value in\n" << block;
  }
  EXPECT_FALSE(rowWords(block, "process").empty()) << "no busy process in\n" << block;

  ASSERT_TRUE(std::filesystem::exists(picture)) << run.output;
  const auto image = platform::Image::readPng(picture, 1);
  ASSERT_FALSE(image->isEmpty());
  std::set<std::tuple<int, int, int>> colours;
  for (int row = 0; row < image->pixelHeight(); row += 3) {
    for (int column = 0; column < image->pixelWidth(); column += 3) {
      const auto pixel = image->pixel(column, row);
      colours.emplace(int(pixel.red * 255), int(pixel.green * 255), int(pixel.blue * 255));
    }
  }
  EXPECT_GT(colours.size(), 10u) << "the picture is blank";

  // The graph's last column is the last sample, the usage printed at tick 3. No sample plotted before it
  // lies above it by more than the machine's own change (5 % of the graph's height): the usage of 100 %
  // and 0 % that the memory monitor writes when it starts is no measurement.
  const int last = plotTop(*image, memoryGraphTop, 919);
  ASSERT_LT(last, 760) << "the memory graph plots nothing";
  for (int column = 40; column < 919; ++column) {
    ASSERT_GE(plotTop(*image, memoryGraphTop, column), last - 15)
        << "a memory sample above the printed " << valueAfter(block, "memory", "usage");
  }
}

// Tick 1 prints and plots the load over its own interval, not the processor's average since boot.
TEST(DashboardTest, TheFirstTickPrintsAndPlotsTheLoadOverItsOwnInterval) {
  if (const std::string why = volumetest::whyNoPrivateMountNamespace(); !why.empty()) GTEST_SKIP() << why;
  const volumetest::TemporaryDirectory directory;
  const std::string picture = directory.path() + "/dashboard.png";
  // /proc/stat, bound in a private mount namespace, is a FIFO giving each reader the next sample: busy 75 %
  // of the time since boot, 25 % (20 % user, 5 % system) between samples. The writer goes with the program.
  const std::string stagedStat = "unshare --mount --propagation private sh -c 'f=" + directory.path() +
                                 "/stat; mkfifo $f && mount --bind $f /proc/stat || exit 1; (trap \"\" PIPE; "
                                 "s=0; while :; do l=\"$((600000+20*s)) 0 $((150000+5*s)) $((250000+75*s)) 0 0 "
                                 "0 0 0 0\"; printf \"cpu  $l\\ncpu0 $l\\nbtime 1700000000\\n\" >$f; s=$((s+1)); "
                                 "done) & \"$0\" \"$@\"; r=$?; kill $!; exit $r'";

  const ProgramRun run = runDashboard("--ticks 2 --interval 0.2 --png " + picture, stagedStat);
  ASSERT_EQ(run.status, 0) << run.output;
  const std::size_t first = run.output.find("tick 1 (");
  ASSERT_NE(first, std::string::npos) << run.output;
  const std::string block = "\n" + run.output.substr(first);
  EXPECT_EQ(std::make_tuple(valueAfter(block, "CPU", "total"), valueAfter(block, "CPU", "user"),
                            valueAfter(block, "CPU", "system")),
            std::make_tuple("25", "20", "5"))
      << block;

  // Both ticks were 25 %: the processor graph is flat at a quarter of its height from its first column.
  const auto image = platform::Image::readPng(picture, 1);
  ASSERT_FALSE(image->isEmpty());
  const int last = plotTop(*image, processorGraphTop, 919);
  EXPECT_NEAR(last, processorGraphTop + graphRows * 3 / 4, graphRows / 10);
  for (int column = 40; column < 919; ++column) {
    ASSERT_NEAR(plotTop(*image, processorGraphTop, column), last, 15) << "column " << column;
  }
}

TEST(DashboardTest, RefusesBadArgumentsAtStartWithUsageAndGivesHelpOnStandardOutput) {
  for (const char* arguments : {"--interval", "--interval x", "--interval=nan", "--interval inf",
                                "--interval 0.05", "--interval 86401", "--ticks 0", "--ticks 1.5", "--png",
                                "--png --bits", "--png= ", "--frobnicate", "stray"}) {
    const ProgramRun run = runDashboard(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_NE(run.output.find("usage: dashboard"), std::string::npos) << arguments << ": " << run.output;
    EXPECT_EQ(run.output.find("tick 1"), std::string::npos) << arguments;
  }
  EXPECT_NE(runDashboard("--bits=1").output.find("dashboard: --bits takes no value\n"), std::string::npos);
  const ProgramRun help = runDashboard("--help 2>/dev/null");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.output.starts_with("usage: dashboard")) << help.output;
  EXPECT_EQ(runDashboard("-h").status, 0);
}

TEST(DashboardTest, RefusesAPicturePlaceThatTakesNoFileBeforeTheFirstRefresh) {
  const volumetest::TemporaryDirectory directory;
  std::vector<std::pair<std::string, std::string>> places{{directory.path(), "Is a directory"}};
  std::optional<volumetest::ScopedMount> readOnly;
  if (::geteuid() == 0) {
    readOnly.emplace(directory.path() + "/read-only");
    ASSERT_EQ(::mount(nullptr, readOnly->mountPoint().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    places.emplace_back(readOnly->mountPoint() + "/dashboard.png", "Read-only file system");
  }
  for (const auto& [place, cause] : places) {
    const ProgramRun run = runDashboard("--ticks 1 --png " + place);
    EXPECT_EQ(run.status, 2) << place;
    EXPECT_NE(run.output.find(cause), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("tick 1"), std::string::npos) << run.output;
  }
}

// Ended by a signal, the program still draws its picture and exits as shells expect: 128 + the signal.
TEST(DashboardTest, ASignalEndsTheRunWithThePictureDrawn) {
  for (const auto& [number, status] :
       {std::pair(SIGINT, 130), std::pair(SIGTERM, 143), std::pair(SIGHUP, 129)}) {
    const volumetest::TemporaryDirectory directory;
    RunningDashboard dashboard("--interval 0.1 --png " + directory.path() + "/dashboard.png");
    ASSERT_TRUE(dashboard.waitForLine("tick 1"));
    ::kill(dashboard.pid, number);
    EXPECT_TRUE(dashboard.waitForLine("picture: ")) << strsignal(number);
    EXPECT_EQ(dashboard.exitStatus(), status) << strsignal(number);
    EXPECT_TRUE(std::filesystem::exists(directory.path() + "/dashboard.png")) << strsignal(number);
  }
}

TEST(DashboardTest, OutputThatTakesNoMoreEndsTheRunNonZeroWithThePictureDrawn) {
  const volumetest::TemporaryDirectory directory;
  const std::string picture = directory.path() + "/dashboard.png";
  RunningDashboard dashboard("--interval 0.1 --png " + picture);
  ASSERT_TRUE(dashboard.waitForLine("tick 1"));
  const int status = dashboard.exitStatus();
  EXPECT_GT(status, 0) << "-1: ended by a signal";
  EXPECT_TRUE(std::filesystem::exists(picture));

  EXPECT_NE(runDashboard("--ticks 1 --png " + picture + " >/dev/full").status, 0);
}
