#pragma once

#include <optional>
#include <string>

namespace dashboard {

// The command line of the dashboard.
struct Options {
  double interval = 1.0;      // seconds between refreshes
  std::optional<long> ticks;  // stop after this many refreshes; absent: until interrupted
  bool bits = false;          // network rates in bits
  std::string png = "dashboard.png";
  bool help = false;  // print the usage and stop

  // The shortest and longest interval between refreshes, in seconds.
  static constexpr double minimumInterval = 0.1;
  static constexpr double maximumInterval = 24 * 60 * 60;

  // Parses the command line with getopt_long: "--option value" and "--option=value". Throws
  // std::invalid_argument with a message naming the bad argument: a missing value (the next word when it
  // is an option), a value that is not a number or not finite, an interval outside 0.1 s to one day, ticks
  // below 1, an unknown option or a word that is no option.
  static Options parse(int argc, char** argv);
  static const char* usage();
};

}  // namespace dashboard
