#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/System/SystemConstants.hpp"
#include "Platform/System/TextSource.hpp"

// Helpers for the tests of the system readers and monitors over the trees that tools/record-fixtures.sh
// recorded into tests/fixtures, and against the live machine.
namespace systemtest {

// tests/fixtures/<kind> of the source tree, by the absolute path that the build defines (the compiler cache
// may make __FILE__ relative to the build directory).
inline std::filesystem::path fixtureRoot(const std::string& kind = "system") {
  return std::filesystem::path(VELMORA_TEST_FIXTURES) / kind;
}

inline std::filesystem::path samplePath(int sample) {
  return fixtureRoot() / ("sample" + std::to_string(sample));
}

inline std::shared_ptr<platform::FileTreeTextSource> sampleSource(int sample) {
  return std::make_shared<platform::FileTreeTextSource>(samplePath(sample));
}

inline std::string fileText(const std::filesystem::path& path) {
  std::ifstream stream(path);
  return {std::istreambuf_iterator<char>(stream), {}};
}

// The page size, clock rate and machine name of the machine that recorded the sample.
inline platform::SystemConstants sampleConstants(int sample) {
  std::istringstream lines(fileText(samplePath(sample) / "constants.txt"));
  platform::SystemConstants constants;
  for (std::string key; lines >> key;) {
    if (key == "pageSize") lines >> constants.pageSize;
    if (key == "clockTicksPerSecond") lines >> constants.clockTicksPerSecond;
    if (key == "machine") lines >> constants.machine;
  }
  return constants;
}

// One row of `ps -eo pid=,ppid=,stat=,rss=,comm=`.
struct PsRow {
  std::int32_t pid = 0;
  std::int32_t ppid = 0;
  std::string stat;
  std::uint64_t rssKiB = 0;
  std::string command;
};

inline std::map<std::int32_t, PsRow> parsePs(const std::string& text) {
  std::map<std::int32_t, PsRow> rows;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    PsRow row;
    if (!(fields >> row.pid >> row.ppid >> row.stat >> row.rssKiB)) continue;
    std::getline(fields >> std::ws, row.command);
    rows[row.pid] = row;
  }
  return rows;
}

// The total of the "Mem:" row of `free -b`.
inline std::uint64_t freeTotal(const std::string& freeOutput) {
  std::istringstream words(freeOutput.substr(std::min(freeOutput.find("Mem:"), freeOutput.size())));
  std::string label;
  std::uint64_t total = 0;
  words >> label >> total;
  return total;
}

struct CommandResult {
  int status = -1;
  std::string output;
};

// Runs `command` through the shell and collects what it writes to standard output, and with `withErrors`
// to standard error too.
inline CommandResult runCommand(const std::string& command, bool withErrors = true) {
  CommandResult result;
  FILE* pipe = ::popen((withErrors ? command + " 2>&1" : command).c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.output.append(buffer, count);
  const int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

inline std::string commandOutput(const std::string& command) { return runCommand(command, false).output; }

// Hands `text` to `check` damaged in every way a parser must survive: cut at every offset, then, in rounds
// of a fixed random sequence, with lines swapped or emptied, fields or stretches dropped, huge numbers,
// separators and NUL put in, and bytes flipped. The sanitizer builds catch any read out of bounds.
inline void forEachMutation(std::string_view text, const std::function<void(std::string_view)>& check) {
  for (std::size_t length = 0; length <= text.size(); ++length) check(text.substr(0, length));
  using namespace std::literals;
  static constexpr std::string_view huge = "184467440737095516169999", hex = "FFFFFFFFFFFFFFFFFFFFFF:FFFFF",
                                    negative = "-9223372036854775809.";
  static constexpr std::string_view inserts[] = {huge,   hex,    negative, "\0"sv, "  "sv, "("sv,  ")"sv,
                                                 "\n"sv, "\t"sv, ":"sv,    "-"sv,  ","sv,  "\\"sv, "/"sv};
  std::mt19937 random(5);
  auto below = [&](std::size_t size) {
    return std::uniform_int_distribution<std::size_t>(0, size - 1)(random);
  };
  for (int round = 0; round < 2000; ++round) {
    std::vector<std::string> lines;
    std::istringstream stream{std::string(text)};
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    if (lines.empty()) return;
    for (int change = 0; change <= round % 4; ++change) {
      std::string& line = lines[below(lines.size())];
      switch (random() % 7) {
        case 0: std::swap(line, lines[below(lines.size())]); break;
        case 1: line.clear(); break;
        case 2: {
          std::size_t blank = line.find(' ', line.empty() ? 0 : below(line.size()));
          if (blank != std::string::npos) line.erase(blank, line.find(' ', blank + 1) - blank);
          break;
        }
        case 3: {
          std::size_t digit = line.find_first_of("0123456789");
          if (digit != std::string::npos) line.insert(digit, huge);
          break;
        }
        case 4:
          if (!line.empty()) line[below(line.size())] = static_cast<char>(random() & 0xFF);
          break;
        case 5: line.erase(below(line.size() + 1), below(41)); break;
        default: line.insert(below(line.size() + 1), inserts[random() % std::size(inserts)]);
      }
    }
    std::string mutated;
    for (const std::string& line : lines) mutated.append(line).append("\n");
    check(mutated);
  }
}

// A child process that idles until told to allocate and touch memory, and is killed with the object.
class IdleChild {
 public:
  IdleChild() {
    if (::pipe2(command_, O_CLOEXEC) != 0 || ::pipe2(reply_, O_CLOEXEC) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) serve();
    ::close(command_[0]);
    ::close(reply_[1]);
  }
  ~IdleChild() {
    ::close(command_[1]);
    ::close(reply_[0]);
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  IdleChild(const IdleChild&) = delete;
  IdleChild& operator=(const IdleChild&) = delete;

  pid_t pid() const { return pid_; }
  // Has the child map `bytes` more of anonymous memory and write to every page of it; true once it has.
  bool hold(std::uint64_t bytes) {
    char done = 0;
    return pid_ > 0 && ::write(command_[1], &bytes, sizeof bytes) == sizeof bytes &&
           ::read(reply_[0], &done, 1) == 1 && done == 1;
  }

 private:
  [[noreturn]] void serve() {
    const long page = ::sysconf(_SC_PAGESIZE);
    for (std::uint64_t bytes = 0; ::read(command_[0], &bytes, sizeof bytes) == sizeof bytes;) {
      void* memory = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
      char done = memory != MAP_FAILED;
      for (std::uint64_t offset = 0; done && offset < bytes; offset += page)
        static_cast<volatile char*>(memory)[offset] = 1;
      if (::write(reply_[1], &done, 1) != 1) break;
    }
    ::_exit(0);
  }

  int command_[2] = {-1, -1};
  int reply_[2] = {-1, -1};
  pid_t pid_ = -1;
};

}  // namespace systemtest
