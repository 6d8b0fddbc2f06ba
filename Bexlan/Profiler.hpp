#pragma once

#include <string>

namespace Bexlan {

// A developer's stopwatch: named timers, started and stopped from any thread, that print their elapsed time
// to standard output when stopped. One process-wide table, made on first use.
class Profiler {
 public:
  Profiler() = delete;

  // Starts the named timer at the current wall-clock time, restarting it when it already runs.
  static void start(const std::string& name = "Profiler");

  // Prints "<name>: <elapsed> ms" with five decimals as one line on standard output and forgets the timer.
  // Does nothing when the name is not running.
  static void stop(const std::string& name);

  // Stops one running timer (meant for the single one that start() without a name begins). With no timer
  // running this is a programming error that stops the process.
  static void stop();
};

}  // namespace Bexlan
