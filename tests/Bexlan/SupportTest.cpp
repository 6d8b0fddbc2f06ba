#include "Bexlan/Support.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bexlan::Support;
using ::testing::ElementsAre;
namespace fs = std::filesystem;

TEST(SupportTest, OpensEachPageThroughTheOpener) {
  std::vector<std::string> opened;
  Support::OpenerOverride opener([&](const std::string& address) {
    opened.push_back(address);
    return true;
  });
  Support::openContact();
  Support::openFAQ();
  EXPECT_THAT(opened, ElementsAre(std::string(Support::contactAddress), std::string(Support::faqAddress)));
}

TEST(SupportTest, PagesAreDistinctPlainWebAddresses) {
  const std::regex webAddress(R"(http://[a-z0-9.-]+(/[A-Za-z0-9._~/-]*)?)");
  EXPECT_TRUE(std::regex_match(std::string(Support::contactAddress), webAddress));
  EXPECT_TRUE(std::regex_match(std::string(Support::faqAddress), webAddress));
  EXPECT_NE(Support::contactAddress, Support::faqAddress);
}

TEST(SupportTest, OverridesNestAndRejectAnEmptyOpener) {
  std::vector<std::string> outer;
  std::vector<std::string> inner;
  Support::OpenerOverride outerOpener([&](const std::string& address) {
    outer.push_back(address);
    return true;
  });
  {
    Support::OpenerOverride innerOpener([&](const std::string& address) {
      inner.push_back(address);
      return false;
    });
    Support::openFAQ();
  }
  Support::openContact();
  EXPECT_THAT(inner, ElementsAre(std::string(Support::faqAddress)));
  EXPECT_THAT(outer, ElementsAre(std::string(Support::contactAddress)));
  EXPECT_THROW(Support::OpenerOverride(Support::Opener()), std::invalid_argument);
}

// A temporary directory removed with everything in it.
struct TemporaryDirectory {
  fs::path path = fs::temp_directory_path() / ("support-test-" + std::to_string(::getpid()));
  TemporaryDirectory() { fs::create_directories(path); }
  ~TemporaryDirectory() { fs::remove_all(path); }
};

TEST(SupportTest, LaunchStartsTheProgramWithTheAddressAsItsOnlyArgument) {
  TemporaryDirectory directory;
  const fs::path received = directory.path / "received";
  const fs::path program = directory.path / "fake-opener";
  {
    std::ofstream script(program);
    script << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << received.string() << ".part'\n"
           << "mv '" << received.string() << ".part' '" << received.string() << "'\n";
  }
  fs::permissions(program, fs::perms::owner_all);

  const std::string address = "http://example.invalid/a b?c=1&d='2'";
  ASSERT_TRUE(Support::launch(program.string(), address));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(received) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::ifstream file(received);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "1|" + address + "|");
}

TEST(SupportTest, LaunchReportsAProgramThatCannotStart) {
  EXPECT_FALSE(Support::launch("/nonexistent/opener", "http://example.invalid/"));
  EXPECT_FALSE(Support::launch("no-such-opener-on-any-path-7f3a", "http://example.invalid/"));
}

}  // namespace
