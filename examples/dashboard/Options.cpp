#include "examples/dashboard/Options.hpp"

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace dashboard {

namespace {

const std::string& valueOf(const std::vector<std::string>& arguments, std::size_t& index) {
  if (index + 1 >= arguments.size()) throw std::invalid_argument(arguments[index] + " needs a value");
  return arguments[++index];
}

template <class T>
T numberOf(const std::string& option, const std::string& text) {
  T value{};
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) throw std::invalid_argument(option + ": not a number: " + text);
  return value;
}

}  // namespace

Options Options::parse(const std::vector<std::string>& arguments) {
  Options options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--interval") {
      options.interval = numberOf<double>(argument, valueOf(arguments, i));
      if (!std::isfinite(options.interval) || options.interval <= 0) {
        throw std::invalid_argument("--interval must be a positive number of seconds");
      }
    } else if (argument == "--ticks") {
      options.ticks = numberOf<long>(argument, valueOf(arguments, i));
      if (*options.ticks < 1) throw std::invalid_argument("--ticks must be at least 1");
    } else if (argument == "--bits") {
      options.bits = true;
    } else if (argument == "--png") {
      options.png = valueOf(arguments, i);
      if (options.png.empty()) throw std::invalid_argument("--png needs a file name");
    } else {
      throw std::invalid_argument("unknown argument: " + argument);
    }
  }
  return options;
}

const char* Options::usage() {
  return "usage: dashboard [--interval SECONDS] [--ticks N] [--bits] [--png FILE]\n";
}

}  // namespace dashboard
