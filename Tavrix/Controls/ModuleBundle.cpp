#include "Tavrix/Controls/ModuleBundle.hpp"

#include <dlfcn.h>

#include <string>
#include <system_error>

#include "Platform/Foundation/BuildInfo.hpp"
#include "Platform/Foundation/FatalError.hpp"

namespace Tavrix::Bundle {

namespace {

namespace fs = std::filesystem;

// An object of this library, to find the binary that holds the library's code.
const char libraryAnchor = 0;

std::optional<fs::path> mainResources() { return platform::Bundle::main()->bundlePath(); }

// The resource directory of the binary (program or shared library) this library was linked into.
std::optional<fs::path> libraryResources() {
  Dl_info info{};
  if (dladdr(&libraryAnchor, &info) == 0 || info.dli_fname == nullptr) {
    return std::nullopt;
  }
  std::error_code error;
  const fs::path binary = fs::canonical(info.dli_fname, error);
  if (error) {
    return std::nullopt;
  }
  return (binary.parent_path() / ".." / platform::buildinfo::resourceSubdirectory).lexically_normal();
}

std::optional<fs::path> programDirectory() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  if (error) {
    return std::nullopt;
  }
  return program.parent_path();
}

}  // namespace

std::shared_ptr<platform::Bundle> module() {
  static const std::shared_ptr<platform::Bundle> bundle =
      find("Tavrix_Tavrix", {mainResources, libraryResources, programDirectory});
  return bundle;
}

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
