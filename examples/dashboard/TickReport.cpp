#include "examples/dashboard/TickReport.hpp"

#include <algorithm>
#include <sstream>

#include "Bexlan/DiskUtilities.hpp"
#include "Platform/Foundation/TextFormat.hpp"

namespace dashboard {

namespace {

constexpr std::size_t busiestCount = 5;

void appendProcesses(std::ostringstream& out, const Orvane::ProcessorController& processor) {
  auto processes = processor.processes();
  const std::size_t shown = std::min(busiestCount, processes.size());
  std::partial_sort(processes.begin(), processes.begin() + static_cast<std::ptrdiff_t>(shown),
                    processes.end(),
                    [](const auto& a, const auto& b) { return a->cpu().usage > b->cpu().usage; });
  for (std::size_t i = 0; i < shown; ++i) {
    const auto& process = *processes[i];
    out << platform::formatC("  process  %-20.20s %6.2f%%  %s\n", process.name().c_str(),
                             static_cast<double>(process.cpu().usage),
                             Bexlan::DiskUtilities::bytesString(process.memory().totalBytes).c_str());
  }
}

}  // namespace

std::string tickReport(const Monitors& monitors, int tick, double elapsed) {
  const auto& container = *monitors.container;
  std::ostringstream out;
  out << platform::formatC("tick %d (%.2f s)\n", tick, elapsed);
  out << "  CPU      total " << container.string("CPU_T") << "  user " << container.string("CPU_U")
      << "  system " << container.string("CPU_S") << "  tasks " << container.string("TASKS") << "  threads "
      << container.string("THREADS") << '\n';
  // "M_U" is the fraction of physical memory in use; its own text is a byte-size text, so show it as percent.
  out << platform::formatC("  memory   usage %.2f%%", container.doubleValue("M_U") * 100) << "  used "
      << container.string("M_T") << "  free " << container.string("M_F") << '\n';
  const auto adapter = monitors.network->adapter();
  const std::string adapterName = adapter ? adapter->name.value_or(adapter->identifier) : "-";
  out << "  network  " << adapterName << "  down " << container.string("N_S_DL") << "  up "
      << container.string("N_S_UL") << '\n';
  out << "  disk     read " << container.string("diskRead") << "  write " << container.string("diskWrite")
      << '\n';
  for (const auto& volume : monitors.volumes->volumes()) {
    out << "  volume   " << volume->name << "  free " << Bexlan::DiskUtilities::bytesString(volume->freeBytes)
        << " of " << Bexlan::DiskUtilities::bytesString(volume->totalBytes) << '\n';
  }
  appendProcesses(out, *monitors.processor);
  return out.str();
}

}  // namespace dashboard
