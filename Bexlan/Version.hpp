#pragma once

#include <string>
#include <utility>

namespace Bexlan {

// A version text that compares numerically: runs of digits compare by their value, so "1.10" is newer
// than "1.9" and "2.0.1" newer than "2.0".
class Version {
 public:
  explicit Version(std::string string) : string_(std::move(string)) {}

  const std::string& string() const { return string_; }
  void setString(std::string string) { string_ = std::move(string); }
  const std::string& description() const { return string_; }

  // Compares two version texts: runs of ASCII digits by numeric value (of any length; leading zeros do not
  // count, so "1.01" and "1.1" are the same), every other byte by its value, which is code-point order for
  // UTF-8 text. A text that is a prefix of the other is the older one. No locale takes part.
  // Negative: a is older; zero: the same; positive: a is newer.
  static int compare(const std::string& a, const std::string& b);

  friend bool operator==(const Version& a, const Version& b) { return compare(a.string_, b.string_) == 0; }
  friend bool operator<(const Version& a, const Version& b) { return compare(a.string_, b.string_) < 0; }
  friend bool operator>(const Version& a, const Version& b) { return compare(a.string_, b.string_) > 0; }
  friend bool operator<=(const Version& a, const Version& b) { return !(a > b); }
  friend bool operator>=(const Version& a, const Version& b) { return !(a < b); }

 private:
  std::string string_;
};

}  // namespace Bexlan
