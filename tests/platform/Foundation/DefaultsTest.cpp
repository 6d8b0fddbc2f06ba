#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <fstream>
#include <random>
#include <thread>

#include "Platform/Foundation/Defaults.hpp"

namespace {

using platform::Defaults;
namespace fs = std::filesystem;

nlohmann::json fileContent(const fs::path& path) {
  std::ifstream file(path);
  return nlohmann::json::parse(file, nullptr, false);
}

// A writer killed at any moment leaves the old file or a new one, never a mixture. The file lives on tmpfs,
// so the thousand writes take tens of milliseconds and a kill at a random moment lands among them.
TEST(DefaultsTest, AWriterKilledAtRandomInAThousandWritesLeavesAFileThatParses) {
  std::string directory = "/dev/shm/velmora-defaults-XXXXXX";
  ASSERT_NE(::mkdtemp(directory.data()), nullptr);
  const fs::path path = fs::path(directory) / "com.example.suite.json";
  std::ofstream(path) << R"({"padding": true, "time": 12)";  // malformed: reads as empty
  auto suite = Defaults::suite("com.example.suite", directory);
  EXPECT_FALSE(suite->boolForKey("padding"));
  for (int key = 0; key < 200; ++key) suite->set("padding" + std::to_string(key), key * 1.5);
  EXPECT_EQ(fileContent(path).size(), 200u);
  std::mt19937 random(std::random_device{}());
  for (int round = 0; round < 5; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      Defaults writer(path);
      for (int i = 1; i <= 1000; ++i) writer.set("counter", double(i));
      ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution(0, 50000)(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const nlohmann::json stored = fileContent(path);
    ASSERT_TRUE(stored.is_object()) << "round " << round;
    EXPECT_EQ(stored.size(), stored.contains("counter") ? 201u : 200u);
  }
  fs::remove_all(directory);
  for (const char* name : {"", ".", "..", "a/b"})
    EXPECT_EQ(Defaults::suite(name, directory), nullptr) << name;
}

}  // namespace
