#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Foundation/Uuid.hpp"

namespace {

using platform::uuidString;

// Upper-case hexadecimal digits in the 8-4-4-4-12 layout, version 4 and variant 10xx.
const char* const layout = "[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}";

TEST(UuidTest, IsUpperCaseVersion4WithVariant10AndEveryOtherBitRandom) {
  std::array<int, 36> seenOnes{}, seenZeros{};
  for (int n = 0; n < 256; ++n) {
    const std::string uuid = uuidString();
    ASSERT_THAT(uuid, testing::MatchesRegex(layout));
    for (std::size_t i = 0; i < uuid.size(); ++i) {
      const int value = uuid[i] <= '9' ? uuid[i] - '0' : uuid[i] - 'A' + 10;
      seenOnes[i] |= value, seenZeros[i] |= ~value & 0xF;
    }
  }
  for (std::size_t i = 0; i < seenOnes.size(); ++i) {
    if (i == 8 || i == 13 || i == 14 || i == 18 || i == 23) continue;  // dashes and the version digit
    const int free = i == 19 ? 0b0011 : 0b1111;
    EXPECT_EQ(seenOnes[i] & seenZeros[i] & free, free) << "a bit at position " << i << " never changes";
  }
}

TEST(UuidTest, ThreadsDrawDifferentValues) {
  constexpr int threads = 4, perThread = 500;
  std::vector<std::vector<std::string>> drawn(threads);
  std::vector<std::thread> workers;
  for (auto& list : drawn) {
    workers.emplace_back([&list] {
      for (int n = 0; n < perThread; ++n) list.push_back(uuidString());
    });
  }
  for (std::thread& worker : workers) worker.join();
  std::set<std::string> distinct;
  for (const auto& list : drawn) distinct.insert(list.begin(), list.end());
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(threads * perThread));
}

TEST(UuidTest, ForkedChildDoesNotRepeatItsParent) {
  uuidString();  // the parent's generator exists before the fork
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const std::string uuid = uuidString();
    _exit(write(pipeEnds[1], uuid.data(), uuid.size()) == static_cast<ssize_t>(uuid.size()) ? 0 : 1);
  }
  close(pipeEnds[1]);
  std::string fromChild(36, '\0');
  const ssize_t received = read(pipeEnds[0], fromChild.data(), fromChild.size());
  close(pipeEnds[0]);
  waitpid(child, nullptr, 0);
  ASSERT_EQ(received, 36);
  EXPECT_NE(fromChild, uuidString());
}

}  // namespace
