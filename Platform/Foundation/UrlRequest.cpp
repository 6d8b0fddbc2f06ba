#include "Platform/Foundation/UrlRequest.hpp"

#include <strings.h>

#include <algorithm>
#include <stdexcept>

namespace platform {

namespace {

bool isToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c > 32 && c < 127 && std::string_view("()<>@,;:\\\"/[]?={}").find(c) == std::string_view::npos;
  });
}

void checkField(std::string_view name, std::string_view value) {
  if (!isToken(name)) throw std::invalid_argument("not a header field name: \"" + std::string(name) + "\"");
  if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos) {
    throw std::invalid_argument("header field \"" + std::string(name) + "\" holds a line break or NUL");
  }
}

}  // namespace

UrlRequest::UrlRequest(Url url, CachePolicy cachePolicy, double timeoutInterval)
    : url_(std::move(url)), cachePolicy_(cachePolicy), timeoutInterval_(timeoutInterval) {}

void UrlRequest::setHttpMethod(std::optional<std::string> method) {
  if (method && method->empty()) method.reset();
  if (method && !isToken(*method)) throw std::invalid_argument("not an HTTP method: \"" + *method + "\"");
  httpMethod_ = std::move(method);
}

std::vector<UrlRequest::Field>::iterator UrlRequest::find(std::string_view field) {
  return std::find_if(fields_.begin(), fields_.end(), [&](const Field& entry) {
    return entry.first.size() == field.size() &&
           ::strncasecmp(entry.first.data(), field.data(), field.size()) == 0;
  });
}

void UrlRequest::setValue(std::optional<std::string> value, std::string_view field) {
  checkField(field, value.value_or(""));
  auto found = find(field);
  if (!value) {
    if (found != fields_.end()) fields_.erase(found);
  } else if (found != fields_.end()) {
    found->second = std::move(*value);
  } else {
    fields_.emplace_back(std::string(field), std::move(*value));
  }
}

void UrlRequest::addValue(std::string_view value, std::string_view field) {
  checkField(field, value);
  auto found = find(field);
  if (found == fields_.end()) {
    fields_.emplace_back(std::string(field), std::string(value));
  } else {
    found->second.append(",").append(value);
  }
}

std::optional<std::string> UrlRequest::value(std::string_view field) const {
  auto found = const_cast<UrlRequest*>(this)->find(field);
  if (found == fields_.end()) return std::nullopt;
  return found->second;
}

}  // namespace platform
