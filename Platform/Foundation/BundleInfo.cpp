#include "Platform/Foundation/BundleInfo.hpp"

#include <nlohmann/json.hpp>

#include "Platform/Foundation/WholeFile.hpp"

namespace platform {

namespace {

std::optional<std::string> text(const nlohmann::json& info, const char* key) {
  const auto found = info.find(key);
  if (found == info.end() || !found->is_string()) {
    return std::nullopt;
  }
  return found->get<std::string>();
}

}  // namespace

BundleInfo BundleInfo::read(const std::filesystem::path& bundleDirectory) {
  const std::optional<std::string> contents = readWholeFile(bundleDirectory / "Info.json");
  if (!contents) {
    return {};
  }
  const nlohmann::json info = nlohmann::json::parse(*contents, nullptr, /*allow_exceptions=*/false);
  if (!info.is_object()) {
    return {};
  }
  return {text(info, "name"), text(info, "shortVersion"), text(info, "identifier")};
}

}  // namespace platform
