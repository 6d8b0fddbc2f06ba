#include "Bexlan/Profiler.hpp"

#include <cstdio>
#include <optional>

#include "Bexlan/BXDictionary.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/Foundation/FatalError.hpp"
#include "Platform/Foundation/TextFormat.hpp"

namespace Bexlan {

namespace {

using Timers = BXDictionary<std::string, double>;

// Start times in seconds since 1970, by timer name. Made on first use, so a program that never profiles
// takes no queue number for it; never destroyed, so timers can be stopped from static destructors.
Timers& timers() {
  static Timers* const table = new Timers();
  return *table;
}

}  // namespace

void Profiler::start(const std::string& name) { timers().set(name, platform::Clock::wallNow()); }

void Profiler::stop(const std::string& name) {
  const std::optional<double> started = timers().get(name);
  if (!started) return;
  const double elapsedMilliseconds = (platform::Clock::wallNow() - *started) * 1000;
  // One write for the whole line, so lines of timers stopped on several threads never interleave.
  const std::string line = name + platform::formatC(": %.05f ms\n", elapsedMilliseconds);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
  timers().set(name, std::nullopt);
}

void Profiler::stop() {
  const auto running = timers().first([](const auto&) { return true; });
  if (!running) platform::fatalError("This function can not be used with more than one active Profiler.");
  stop(running->first);
}

}  // namespace Bexlan
