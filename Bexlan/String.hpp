#pragma once

#include <string>

// Text constants shared by every module instead of literals of their own. Each is made once, on first use
// from any thread, and never changes.
namespace Bexlan::String {

// "": the shared empty text.
const std::string& empty();
// "-": stands wherever a value is missing.
const std::string& dash();
// "•" (U+2022).
const std::string& bullet();
// Four spaces.
const std::string& indent();
// One line feed.
const std::string& newline();
// Two spaces.
const std::string& doubleSpace();

}  // namespace Bexlan::String
