#pragma once

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "Platform/System/TextSource.hpp"

namespace volumetest {

// tests/fixtures/volumes: from VELMORA_FIXTURES, which CTest sets, else beside this file's directory.
inline std::filesystem::path fixturesDirectory() {
  if (const char* directory = std::getenv("VELMORA_FIXTURES"); directory != nullptr && *directory != '\0') {
    return std::filesystem::path(directory) / "volumes";
  }
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "fixtures" / "volumes";
}

// The recorded tree `name` ("machine", "later") as a text source.
inline std::shared_ptr<const platform::TextSource> fixtureTree(const char* name) {
  return std::make_shared<platform::FileTreeTextSource>(fixturesDirectory() / name);
}

}  // namespace volumetest
