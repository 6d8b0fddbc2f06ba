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

bool isDash(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

// The value of an upper-case hex digit, or -1.
int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

TEST(UuidTest, IsUpperCaseVersion4WithVariant10AndEveryOtherBitRandom) {
  std::array<int, 36> seenOnes{}, seenZeros{};
  for (int n = 0; n < 256; ++n) {
    const std::string uuid = uuidString();
    ASSERT_EQ(uuid.size(), 36u) << uuid;
    for (std::size_t i = 0; i < uuid.size(); ++i) {
      if (isDash(i)) {
        ASSERT_EQ(uuid[i], '-') << uuid;
        continue;
      }
      const int value = hexValue(uuid[i]);
      ASSERT_GE(value, 0) << uuid;
      seenOnes[i] |= value;
      seenZeros[i] |= ~value & 0xF;
    }
    ASSERT_EQ(uuid[14], '4') << uuid;
    ASSERT_EQ(hexValue(uuid[19]) >> 2, 0b10) << uuid;
  }
  for (std::size_t i = 0; i < seenOnes.size(); ++i) {
    if (isDash(i) || i == 14) continue;
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
    const bool sent = write(pipeEnds[1], uuid.data(), uuid.size()) == static_cast<ssize_t>(uuid.size());
    _exit(sent ? 0 : 1);
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
