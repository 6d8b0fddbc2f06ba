#include "Tavrix/Controls/ModuleBundle.hpp"

#include <string>

#include "Platform/Foundation/FatalError.hpp"

namespace Tavrix::Bundle {

namespace fs = std::filesystem;

std::shared_ptr<platform::Bundle> module() { return platform::Bundle::module("Tavrix_Tavrix"); }

std::shared_ptr<platform::Bundle> find(std::string_view name, const std::vector<Place>& places) {
  const std::string directoryName = std::string(name) + ".bundle";
  std::string lookedIn;
  for (const Place& place : places) {
    if (const std::optional<fs::path> directory = place()) {
      if (std::shared_ptr<platform::Bundle> bundle = platform::Bundle::atPath(*directory / directoryName)) {
        return bundle;
      }
      lookedIn += (lookedIn.empty() ? "" : ", ") + directory->string();
    }
  }
  platform::fatalError("unable to find bundle named " + std::string(name) + " (looked in " + lookedIn + ")");
}

}  // namespace Tavrix::Bundle
