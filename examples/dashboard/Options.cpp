#include "examples/dashboard/Options.hpp"

#include <getopt.h>

#include <charconv>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace dashboard {

namespace {

enum Option : int { help = 'h', interval = 256, ticks, bits, png };

constexpr option longOptions[] = {
    {"help", no_argument, nullptr, Option::help},
    {"interval", required_argument, nullptr, Option::interval},
    {"ticks", required_argument, nullptr, Option::ticks},
    {"bits", no_argument, nullptr, Option::bits},
    {"png", required_argument, nullptr, Option::png},
    {nullptr, 0, nullptr, 0},
};

std::string nameOf(int code) {
  for (const option& entry : longOptions) {
    if (entry.name != nullptr && entry.val == code) return std::string("--") + entry.name;
  }
  return "option";
}

template <class T>
T numberOf(int code, const std::string& text) {
  T value{};
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    throw std::invalid_argument(nameOf(code) + ": not a number: " + text);
  }
  return value;
}

// A value given as the next word that looks like an option ("--png --bits") is a missing value; a
// negative number is a value.
bool looksLikeOption(const char* value) {
  return value[0] == '-' && value[1] != '\0' && !(value[1] >= '0' && value[1] <= '9') && value[1] != '.';
}

}  // namespace

Options Options::parse(int argc, char** argv) {
  Options options;
  // getopt_long keeps its place in globals; start over, and report nothing itself.
  optind = 0;
  opterr = 0;
  for (;;) {
    const int code = getopt_long(argc, argv, ":h", longOptions, nullptr);
    if (code == -1) break;
    if (code == '?') {
      // optopt is the code of an option that takes no value but was given one ("--bits=1"), the letter of
      // an unknown short option, or 0 for an unknown long option.
      if (optopt == Option::help || optopt == Option::bits) {
        throw std::invalid_argument(nameOf(optopt) + " takes no value");
      }
      const std::string word = optopt != 0 ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1];
      throw std::invalid_argument("unknown option: " + word);
    }
    if (code == ':') throw std::invalid_argument(nameOf(optopt) + " needs a value");
    const bool separateWord = optarg != nullptr && optarg == argv[optind - 1];
    if (separateWord && looksLikeOption(optarg)) throw std::invalid_argument(nameOf(code) + " needs a value");
    switch (code) {
      case Option::help: options.help = true; break;
      case Option::interval:
        options.interval = numberOf<double>(code, optarg);
        if (!std::isfinite(options.interval)) throw std::invalid_argument("--interval must be finite");
        if (options.interval < minimumInterval || options.interval > maximumInterval) {
          throw std::invalid_argument("--interval must be from 0.1 to 86400 seconds");
        }
        break;
      case Option::ticks:
        options.ticks = numberOf<long>(code, optarg);
        if (*options.ticks < 1) throw std::invalid_argument("--ticks must be at least 1");
        break;
      case Option::bits: options.bits = true; break;
      case Option::png:
        options.png = optarg;
        if (options.png.empty()) throw std::invalid_argument("--png needs a file name");
        break;
      default: throw std::invalid_argument("unknown option");
    }
  }
  if (optind < argc) throw std::invalid_argument("unexpected argument: " + std::string(argv[optind]));
  return options;
}

const char* Options::usage() {
  return "usage: dashboard [--interval SECONDS] [--ticks N] [--bits] [--png FILE] [--help]\n"
         "  -h, --help           print this help and exit\n"
         "  --interval SECONDS   time between refreshes, 0.1 to 86400 (default 1)\n"
         "  --ticks N            stop after N refreshes (default: until interrupted)\n"
         "  --bits               network rates in bits per second\n"
         "  --png FILE           the picture drawn at the end (default dashboard.png)\n";
}

}  // namespace dashboard
