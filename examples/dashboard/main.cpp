// The dashboard: wires the monitors into one provider container, pumps the main run loop and prints what
// the container holds after every refresh; on exit it draws the history graphs and usage bars to a PNG.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <system_error>

#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Foundation/FileReplacement.hpp"
#include "examples/dashboard/DashboardPicture.hpp"
#include "examples/dashboard/Monitors.hpp"
#include "examples/dashboard/Options.hpp"
#include "examples/dashboard/TickReport.hpp"

namespace {

int interruptPipe[2] = {-1, -1};
// The signal that ended the run; 0 while none has.
std::atomic<int> endingSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

extern "C" void onEndingSignal(int signal) {
  int expected = 0;
  endingSignal.compare_exchange_strong(expected, signal);
  const int savedErrno = errno;
  const char byte = 1;
  [[maybe_unused]] ssize_t written = ::write(interruptPipe[1], &byte, 1);
  errno = savedErrno;
}

// Ctrl-C, SIGTERM and SIGHUP end the run loop between two refreshes, so the program still draws its picture
// and releases the monitors. A closed pipe on standard output is a failed write, not a silent death.
void installSignalHandlers() {
  std::signal(SIGPIPE, SIG_IGN);
  if (::pipe2(interruptPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw std::system_error(errno, std::generic_category(), "cannot make the interrupt pipe");
  }
  platform::RunLoop::main().addReadSource(interruptPipe[0], [] {
    char bytes[16];
    while (::read(interruptPipe[0], bytes, sizeof bytes) > 0) {
    }
    platform::RunLoop::main().stop();
  });
  struct sigaction action {};
  action.sa_handler = onEndingSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) ::sigaction(signal, &action, nullptr);
}

// Prints the report after every refresh and stops the run loop after the asked number of ticks, after a
// signal (before printing a refresh that was due when it came) or when standard output takes no more.
class TickPrinter final : public Bexlan::DataProviderContainerDelegate {
 public:
  TickPrinter(const dashboard::Monitors& monitors, std::optional<long> ticks)
      : monitors_(monitors), ticks_(ticks) {}

  void containerDidRefresh(double elapsed) override {
    ++refreshes_;
    if (finished()) return;
    if (endingSignal.load() != 0) return stop();
    ++tick_;
    std::fputs(dashboard::tickReport(monitors_, tick_, elapsed).c_str(), stdout);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
      outputError_ = errno;
      return stop();
    }
    if (ticks_ && tick_ >= *ticks_) stop();
  }

  bool finished() const { return stopped_; }
  // Every refresh so far, printed or not: each wrote one sample to every history.
  long refreshes() const { return refreshes_; }
  // The error of a failed write to standard output; 0 when every write went through.
  int outputError() const { return outputError_; }

 private:
  void stop() {
    stopped_ = true;
    platform::RunLoop::main().stop();
  }

  const dashboard::Monitors& monitors_;
  std::optional<long> ticks_;
  long tick_ = 0;
  long refreshes_ = 0;
  bool stopped_ = false;
  int outputError_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  dashboard::Options options;
  try {
    options = dashboard::Options::parse(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dashboard: %s\n%s", error.what(), dashboard::Options::usage());
    return 2;
  }
  if (options.help) {
    std::fputs(dashboard::Options::usage(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  try {
    // The picture's place takes a new file now, not only after the whole run.
    platform::FileReplacement probe(options.png);
    installSignalHandlers();
  } catch (const std::system_error& error) {
    std::fprintf(stderr, "dashboard: %s\n", error.what());
    return 2;
  }

  const dashboard::Monitors monitors = dashboard::Monitors::create(options.interval, options.bits);
  auto printer = std::make_shared<TickPrinter>(monitors, options.ticks);
  monitors.container->setDelegate(printer);
  platform::RunLoop::main().run();
  // No refresh after the last printed one: drawing pumps the run loop.
  monitors.container->setInterval(std::nullopt);

  int status = 0;
  if (printer->outputError() != 0) {
    std::fprintf(stderr, "dashboard: cannot write to standard output: %s\n",
                 std::strerror(printer->outputError()));
    status = 1;
  }
  try {
    dashboard::writePicture(monitors, printer->refreshes(), options.png);
    std::printf("picture: %s\n", options.png.c_str());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "dashboard: %s\n", error.what());
    status = 1;
  }
  if (std::fflush(stdout) != 0 && status == 0) status = 1;
  monitors.container->stop();
  // As shells expect of a program a signal ended: 128 and the signal's number.
  if (const int signal = endingSignal.load(); signal != 0) return 128 + signal;
  return status;
}
