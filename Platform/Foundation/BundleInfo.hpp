#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The info values a bundle may carry in an "Info.json" object at its top: "name", "shortVersion" and
// "identifier". A value that is missing or not a text is absent; so is every value of a file that is
// missing or not a JSON object.
struct BundleInfo {
  std::optional<std::string> name;
  std::optional<std::string> shortVersion;
  std::optional<std::string> identifier;

  static BundleInfo read(const std::filesystem::path& bundleDirectory);
};

}  // namespace platform
