#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Bexlan/Support.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

using Bexlan::Support;
using ::testing::ElementsAre;
namespace fs = std::filesystem;

TEST(SupportTest, LaunchStartsTheProgramWithTheAddressAsItsOnlyArgument) {
  const volumetest::TemporaryDirectory temporary;
  const fs::path directory = temporary.path();
  const fs::path received = directory / "received";
  const fs::path program = directory / "fake-opener";
  std::ofstream(program) << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << received.string() << ".part'\n"
                         << "mv '" << received.string() << ".part' '" << received.string() << "'\n";
  fs::permissions(program, fs::perms::owner_all);

  const std::string address = "http://example.invalid/a b?c=1&d='2'";
  ASSERT_TRUE(Support::launch(program.string(), address));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(received) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::stringstream text;
  text << std::ifstream(received).rdbuf();
  EXPECT_EQ(text.str(), "1|" + address + "|");

  EXPECT_FALSE(Support::launch((directory / "absent").string(), address));
  EXPECT_FALSE(Support::launch("no-such-opener-on-any-path-7f3a", address));
}

}  // namespace
