// Runs the dashboard program as a user would, for two short ticks, and checks what it prints and draws.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <regex>
#include <set>
#include <string>

#include "Platform/Graphics/Image.hpp"

namespace {

struct ProgramRun {
  int status = -1;
  std::string output;
};

ProgramRun runDashboard(const std::string& arguments) {
  ProgramRun run;
  const std::string command = std::string(DASHBOARD_PROGRAM) + " " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  char buffer[4096];
  while (std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe)) run.output.append(buffer, count);
  const int status = ::pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// The value printed after `label` on the line that starts with `row` in the block of the last tick.
std::string valueAfter(const std::string& block, const std::string& row, const std::string& label) {
  const std::regex pattern("\\n  " + row + " [^\\n]*?" + label + " (\\S+)");
  std::smatch match;
  if (!std::regex_search(block, match, pattern)) return {};
  return match[1];
}

}  // namespace

TEST(DashboardTest, TwoTicksPrintEveryValueAndDrawAPicture) {
  const auto directory = std::filesystem::temp_directory_path() / ("dashboard-" + std::to_string(::getpid()));
  std::filesystem::create_directories(directory);
  const auto picture = directory / "dashboard.png";

  const ProgramRun run = runDashboard("--ticks 2 --interval 0.2 --png " + picture.string());
  ASSERT_EQ(run.status, 0) << run.output;
  const std::size_t lastTick = run.output.find("tick 2 (");
  ASSERT_NE(lastTick, std::string::npos) << run.output;
  EXPECT_EQ(run.output.find("tick 3 ("), std::string::npos) << "stops after the asked number of ticks";
  const std::string block = "\n" + run.output.substr(lastTick);

  const std::pair<const char*, const char*> printed[] = {
      {"CPU", "total"},    {"CPU", "user"},     {"CPU", "system"},  {"CPU", "tasks"},
      {"CPU", "threads"},  {"memory", "usage"}, {"memory", "used"}, {"memory", "free"},
      {"network", "down"}, {"network", "up"},   {"disk", "read"},   {"disk", "write"},
      {"volume", "free"}};
  for (const auto& [row, label] : printed) {
    const std::string value = valueAfter(block, row, label);
    EXPECT_FALSE(value.empty()) << row << " " << label << " printed nothing in\n" << block;
    EXPECT_NE(value, "-") << row << " " << label << " has no value in\n" << block;
  }
  EXPECT_TRUE(std::regex_search(block, std::regex("\\n  process  \\S"))) << "no busy process in\n" << block;

  ASSERT_TRUE(std::filesystem::exists(picture)) << run.output;
  const auto image = platform::Image::readPng(picture, 1);
  ASSERT_FALSE(image->isEmpty());
  std::set<std::uint32_t> colours;
  for (int row = 0; row < image->pixelHeight(); row += 3) {
    for (int column = 0; column < image->pixelWidth(); column += 3) {
      const auto pixel = image->pixel(column, row);
      colours.insert((static_cast<std::uint32_t>(pixel.red * 255) << 16) |
                     (static_cast<std::uint32_t>(pixel.green * 255) << 8) |
                     static_cast<std::uint32_t>(pixel.blue * 255));
    }
  }
  EXPECT_GT(colours.size(), 10u) << "the picture is blank";
  std::filesystem::remove_all(directory);
}

TEST(DashboardTest, RejectsBadArgumentsWithUsage) {
  for (const char* arguments : {"--interval 0", "--interval x", "--ticks 0", "--png", "--frobnicate"}) {
    const ProgramRun run = runDashboard(arguments);
    EXPECT_EQ(run.status, 2) << arguments;
    EXPECT_NE(run.output.find("usage: dashboard"), std::string::npos) << arguments << ": " << run.output;
  }
}
