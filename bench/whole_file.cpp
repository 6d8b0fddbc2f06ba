// Reading a file whole, as a settings suite is read: a small suite (4 KB) and a large one (116 MB), from the
// page cache, beside the floor a C program would reach: open, fstat, one buffer of the file's size, read.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "Platform/Foundation/WholeFile.hpp"

namespace {

// A file of `size` bytes in the temporary folder, made at first use and removed when the program ends.
std::filesystem::path fileOf(std::size_t size) {
  struct Made {
    std::map<std::size_t, std::filesystem::path> files;
    ~Made() {
      for (const auto& [size, path] : files) std::filesystem::remove(path);
    }
  };
  static Made made;
  const auto [found, isNew] = made.files.try_emplace(
      size, std::filesystem::temp_directory_path() /
                ("velmora-whole-file-" + std::to_string(::getpid()) + "-" + std::to_string(size)));
  if (isNew) std::ofstream(found->second) << std::string(size, 'x');
  return found->second;
}

void ReadWholeFile(benchmark::State& state) {
  const std::filesystem::path path = fileOf(std::size_t(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(platform::readWholeFile(path));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(ReadWholeFile)->Arg(4 << 10)->Arg(116 << 20);

void RawSyscallFloor(benchmark::State& state) {
  const std::filesystem::path path = fileOf(std::size_t(state.range(0)));
  for (auto _ : state) {
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    ::fstat(descriptor, &status);
    char* buffer = static_cast<char*>(std::malloc(std::size_t(status.st_size) + 1));
    for (ssize_t done = 0, count = 1; count > 0; done += count)
      count = ::read(descriptor, buffer + done, std::size_t(status.st_size) + 1 - std::size_t(done));
    benchmark::DoNotOptimize(buffer);
    std::free(buffer);
    ::close(descriptor);
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(RawSyscallFloor)->Arg(4 << 10)->Arg(116 << 20);

}  // namespace
