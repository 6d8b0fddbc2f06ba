#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A URL reference as RFC 3986 writes it: absolute ("https://host:8080/a?b#c") or relative ("a/b", "?q").
// It keeps its text as given, and the scheme and host that a request needs.
class Url {
 public:
  // Nothing for the empty text, for a character outside the grammar (a space, a non-ASCII byte, "<", ...),
  // a "%" not followed by two hexadecimal digits, a misplaced "[", "]", "#" or "@", a ":" in the first
  // segment of a relative path, or a port that is not a number up to 65535.
  static std::optional<Url> parse(std::string_view text);

  const std::string& absoluteString() const { return text_; }
  // The scheme as written ("HTTP" stays upper case); absent for a relative reference.
  const std::optional<std::string>& scheme() const { return scheme_; }
  // The host of the authority ("" for "file:///x"); absent without an authority. IP literals keep their
  // brackets.
  const std::optional<std::string>& host() const { return host_; }

  friend bool operator==(const Url& a, const Url& b) { return a.text_ == b.text_; }

 private:
  Url() = default;

  std::string text_;
  std::optional<std::string> scheme_;
  std::optional<std::string> host_;
};

}  // namespace platform
