#pragma once

#include <string>

#include "examples/dashboard/Monitors.hpp"

namespace dashboard {

// Draws the processor and memory history graphs and the processor, memory and startup-disk usage bars to a
// PNG file. The graphs plot only the samples that the container's `refreshes` refreshes wrote. Throws when
// the file cannot be written.
void writePicture(const Monitors& monitors, long refreshes, const std::string& path);

}  // namespace dashboard
