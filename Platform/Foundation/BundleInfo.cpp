#include "Platform/Foundation/BundleInfo.hpp"

#include <fstream>
#include <nlohmann/json.hpp>

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
  std::ifstream file(bundleDirectory / "Info.json", std::ios::binary);
  if (!file) {
    return {};
  }
  const nlohmann::json info = nlohmann::json::parse(file, nullptr, /*allow_exceptions=*/false);
  if (!info.is_object()) {
    return {};
  }
  return {text(info, "name"), text(info, "shortVersion"), text(info, "identifier")};
}

}  // namespace platform
