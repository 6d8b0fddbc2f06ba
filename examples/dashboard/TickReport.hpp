#pragma once

#include <string>

#include "examples/dashboard/Monitors.hpp"

namespace dashboard {

// The compact block printed after every refresh, read from the container by key: processor load, tasks and
// threads, memory, the shown adapter's rates, the startup disk's speeds, each volume's free space and the
// five busiest processes.
std::string tickReport(const Monitors& monitors, int tick, double elapsed);

}  // namespace dashboard
