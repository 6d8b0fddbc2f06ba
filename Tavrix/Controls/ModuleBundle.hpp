#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "Platform/Foundation/Bundle.hpp"

namespace Tavrix::Bundle {

// A directory that may hold resource bundles, or nothing when the place cannot be told.
using Place = std::function<std::optional<std::filesystem::path>()>;

// The controls library's resource bundle, "Tavrix_Tavrix.bundle": the platform's module bundle of that name
// (platform::Bundle::module), looked for where every module's bundle is and, where no place on disk holds
// it, made of the tables compiled into the library. Found at the first use and kept for the life of the
// process.
std::shared_ptr<platform::Bundle> module();

// The bundle "<name>.bundle" in the first of the places that holds it. Places are asked in order, and only
// until one holds the bundle; a place that yields nothing is skipped. When none holds it the program stops
// with the fatal error "unable to find bundle named <name> (looked in <place>, <place>)".
std::shared_ptr<platform::Bundle> find(std::string_view name, const std::vector<Place>& places);

}  // namespace Tavrix::Bundle
