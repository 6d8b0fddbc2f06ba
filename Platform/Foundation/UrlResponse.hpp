#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Foundation/Url.hpp"

namespace platform {

// The answer to a request, without its body: the address that answered (after redirects), the HTTP status
// (absent when the answer is not HTTP, as for a file) and the header fields of the final answer.
struct UrlResponse {
  Url url;
  std::optional<int> statusCode;
  std::vector<std::pair<std::string, std::string>> headerFields;
};

}  // namespace platform
