#include "Platform/Foundation/Url.hpp"

namespace platform {

namespace {

// ASCII classes, never the C library's locale: a single-byte locale would count letter bytes above 127.
bool isAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool isUnreserved(char c) { return isAlpha(c) || isDigit(c) || c == '-' || c == '.' || c == '_' || c == '~'; }
bool isSubDelimiter(char c) { return std::string_view("!$&'()*+,;=").find(c) != std::string_view::npos; }

// Every character is allowed somewhere in a URL and every "%" starts an escape of two hexadecimal digits.
bool hasOnlyUrlCharacters(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '%') {
      if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
      i += 2;
    } else if (!isUnreserved(c) && !isSubDelimiter(c) &&
               std::string_view(":/?#[]@").find(c) == std::string_view::npos) {
      return false;
    }
  }
  return true;
}

bool hasNone(std::string_view text, std::string_view characters) {
  return text.find_first_of(characters) == std::string_view::npos;
}

bool isScheme(std::string_view text) {
  if (text.empty() || !isAlpha(text[0])) return false;
  for (char c : text) {
    if (!isAlpha(c) && !isDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return true;
}

// An IP literal between brackets: an IPv6 address (hexadecimal digits, ":" and "." for an embedded IPv4
// address) or an "IPvFuture" form starting with "v".
bool isIpLiteral(std::string_view host) {
  if (host.size() < 3 || host.front() != '[' || host.back() != ']') return false;
  const std::string_view inside = host.substr(1, host.size() - 2);
  if (inside[0] == 'v' || inside[0] == 'V') return hasNone(inside, "[]@/?#%");
  for (char c : inside) {
    if (!isHex(c) && c != ':' && c != '.') return false;
  }
  return inside.find(':') != std::string_view::npos;
}

bool isPort(std::string_view text) {
  if (text.size() > 5) return false;
  int port = 0;
  for (char c : text) {
    if (!isDigit(c)) return false;
    port = port * 10 + (c - '0');
  }
  return port <= 65535;
}

}  // namespace

std::optional<Url> Url::parse(std::string_view text) {
  if (text.empty() || !hasOnlyUrlCharacters(text)) return std::nullopt;
  Url url;
  url.text_ = std::string(text);
  std::string_view rest = text;
  if (const std::size_t hash = rest.find('#'); hash != std::string_view::npos) {
    const std::string_view fragment = rest.substr(hash + 1);
    if (!hasNone(fragment, "#[]")) return std::nullopt;
    rest = rest.substr(0, hash);
  }
  if (const std::size_t question = rest.find('?'); question != std::string_view::npos) {
    const std::string_view query = rest.substr(question + 1);
    if (!hasNone(query, "[]")) return std::nullopt;
    rest = rest.substr(0, question);
  }
  if (const std::size_t colon = rest.find(':'); colon != std::string_view::npos && colon < rest.find('/')) {
    // A colon before the first slash ends a scheme; a relative path may not have one in its first segment.
    if (!isScheme(rest.substr(0, colon))) return std::nullopt;
    url.scheme_ = std::string(rest.substr(0, colon));
    rest = rest.substr(colon + 1);
  }
  if (rest.starts_with("//")) {
    const std::size_t end = rest.find('/', 2);
    std::string_view authority =
        rest.substr(2, end == std::string_view::npos ? std::string_view::npos : end - 2);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    if (const std::size_t at = authority.find('@'); at != std::string_view::npos) {
      if (!hasNone(authority.substr(0, at), "[]")) return std::nullopt;
      authority = authority.substr(at + 1);
    }
    std::string_view host = authority;
    if (const std::size_t colon = authority.rfind(':');
        colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
      host = authority.substr(0, colon);
      if (!isPort(authority.substr(colon + 1))) return std::nullopt;
    }
    const bool literal = host.starts_with('[');
    if (literal ? !isIpLiteral(host) : !hasNone(host, "[]@:")) return std::nullopt;
    url.host_ = std::string(host);
  }
  if (!hasNone(rest, "[]")) return std::nullopt;
  return url;
}

}  // namespace platform
