// The dashboard: wires the monitors into one provider container, pumps the main run loop and prints what
// the container holds after every refresh; on exit it draws the history graphs and usage bars to a PNG.
#include <fcntl.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>

#include "Platform/Dispatch/RunLoop.hpp"
#include "examples/dashboard/DashboardPicture.hpp"
#include "examples/dashboard/Monitors.hpp"
#include "examples/dashboard/Options.hpp"
#include "examples/dashboard/TickReport.hpp"

namespace {

int interruptPipe[2] = {-1, -1};

extern "C" void onInterrupt(int) {
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(interruptPipe[1], &byte, 1);
}

// Ctrl-C and SIGTERM end the run loop between two refreshes, so the program still draws its picture and
// releases the monitors.
void stopOnInterrupt() {
  if (::pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  platform::RunLoop::main().addReadSource(interruptPipe[0], [] { platform::RunLoop::main().stop(); });
  struct sigaction action {};
  action.sa_handler = onInterrupt;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
}

// Prints the report after every refresh and stops the run loop after the asked number of ticks.
class TickPrinter final : public Bexlan::DataProviderContainerDelegate {
 public:
  TickPrinter(const dashboard::Monitors& monitors, std::optional<long> ticks)
      : monitors_(monitors), ticks_(ticks) {}

  void containerDidRefresh(double elapsed) override {
    ++tick_;
    std::fputs(dashboard::tickReport(monitors_, tick_, elapsed).c_str(), stdout);
    std::fflush(stdout);
    if (ticks_ && tick_ >= *ticks_) platform::RunLoop::main().stop();
  }

 private:
  const dashboard::Monitors& monitors_;
  std::optional<long> ticks_;
  int tick_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  dashboard::Options options;
  try {
    options = dashboard::Options::parse(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dashboard: %s\n%s", error.what(), dashboard::Options::usage());
    return 2;
  }

  stopOnInterrupt();
  const dashboard::Monitors monitors = dashboard::Monitors::create(options.interval, options.bits);
  auto printer = std::make_shared<TickPrinter>(monitors, options.ticks);
  monitors.container->setDelegate(printer);
  monitors.container->refresh();
  monitors.container->setInterval(options.interval);
  platform::RunLoop::main().run();

  int status = 0;
  try {
    dashboard::writePicture(monitors, options.png);
    std::printf("picture: %s\n", options.png.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dashboard: cannot write %s: %s\n", options.png.c_str(), error.what());
    status = 1;
  }
  monitors.container->stop();
  return status;
}
