#include "Bexlan/String.hpp"

namespace Bexlan::String {

const std::string& empty() {
  static const std::string text;
  return text;
}

const std::string& dash() {
  static const std::string text = "-";
  return text;
}

const std::string& bullet() {
  static const std::string text = "\u2022";
  return text;
}

const std::string& indent() {
  static const std::string text = "    ";
  return text;
}

const std::string& newline() {
  static const std::string text = "\n";
  return text;
}

const std::string& doubleSpace() {
  static const std::string text = "  ";
  return text;
}

}  // namespace Bexlan::String
