#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Text constants shared by every module instead of literals of their own, and operations on texts. Each
// constant is made once, on first use from any thread, and never changes.
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

// The region's current locale's decimal separator ("." in en_US, "," in de_DE); "." when it has none.
std::string decimalSeparator();

// Operations on UTF-8 texts. Counts and indices are in characters as a reader sees them (extended grapheme
// clusters: "e" with a combining accent, a flag and a family joined by zero-width joiners count one each).
// Counts and indices outside the text are held to it: they never read outside it.

// The first n characters when the text has more than n (no ellipsis), else the text itself; "" for n < 0.
std::string truncated(std::string_view text, std::int64_t n);
// The characters from index `from` to `from + length`.
std::string substring(std::string_view text, std::int64_t from, std::int64_t length);
// The characters from max(from, 0) up to, not including, min(to, count). Named after its label: it would
// collide with substring(text, from, length).
std::string substringTo(std::string_view text, std::int64_t from, std::int64_t to);
// The text without its last five characters; "" for a shorter text.
std::string withoutLastFiveCharacters(std::string_view text);

// The last component of a path: "/a/b.txt" is "b.txt", "/a/b/" is "b", "/" and "//" are "/", "" is "".
std::string lastPathComponent(std::string_view path);

// The text's Mac OS Roman bytes folded into a number, each byte shifted in from the right: "abcd" is
// 0x61626364, and of more than eight bytes only the last eight remain. 0 for the empty text and for a text
// that Mac OS Roman cannot encode (an emoji).
std::uint64_t macRomanCode(std::string_view text);

// A new random UUID as 36 upper-case characters.
std::string uuid();

// The whole text as a float in the C library's "C" locale, widened to double ("0.1" is 0.100000001490116;
// "1e3" and "0x10" are read; "inf" and "nan" too); nullopt for an empty text, leading white space or
// anything after the number.
std::optional<double> floatValue(std::string_view text);

// True for no text and for "".
bool isNilOrEmpty(const std::optional<std::string>& text);

}  // namespace Bexlan::String
