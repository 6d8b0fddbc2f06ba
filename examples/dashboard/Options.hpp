#pragma once

#include <optional>
#include <string>
#include <vector>

namespace dashboard {

// The command line of the dashboard.
struct Options {
  double interval = 1.0;          // seconds between refreshes
  std::optional<long> ticks;      // stop after this many refreshes; absent: until interrupted
  bool bits = false;              // network rates in bits
  std::string png = "dashboard.png";

  // Parses the arguments after the program name. Throws std::invalid_argument with a message naming the
  // bad argument.
  static Options parse(const std::vector<std::string>& arguments);
  static const char* usage();
};

}  // namespace dashboard
