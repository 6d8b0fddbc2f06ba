#include "Platform/Foundation/WholeFile.hpp"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// Waits until the file has bytes or (a FIFO) its writers are gone, until `deadline` at most; false when it
// did not. A FIFO no writer has opened yet reads as ended, so it is never read before this says so.
bool awaitBytes(int descriptor, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd wait{descriptor, POLLIN, 0};
    const int ready = ::poll(&wait, 1, int(left.count()));
    if (ready > 0) return true;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// Reads the opened file to its end into `text`; 0, or the errno that stopped it. `sizeHint` is what the
// file's status says it holds (0 where it does not say, as for a FIFO or a /proc file).
int readAll(int descriptor, bool isFifo, std::size_t sizeHint, std::string& text) {
  const Clock::time_point deadline = Clock::now() + longestFifoRead;
  // One byte over the hint: the end of the file then shows without growing the buffer.
  text.resize((sizeHint > 0 ? sizeHint : 16384) + 1);
  std::size_t length = 0;
  for (;;) {
    if (length == text.size()) {
      if (length > largestWholeFile) return EFBIG;
      text.resize(std::min(length * 2, largestWholeFile + 1));
    }
    if (isFifo && !awaitBytes(descriptor, deadline)) return ETIMEDOUT;
    const ssize_t count = ::read(descriptor, text.data() + length, text.size() - length);
    if (count > 0) {
      length += std::size_t(count);
    } else if (count == 0) {
      text.resize(length);
      return 0;
    } else if (errno == EAGAIN) {
      // Opened without blocking, a file that has no bytes yet (a FIFO, or a regular one such as /proc/kmsg
      // or a trace pipe) says so at once: wait for them, within the bound.
      if (!awaitBytes(descriptor, deadline)) return ETIMEDOUT;
    } else if (errno != EINTR) {
      return errno;
    }
  }
}

}  // namespace

std::optional<std::string> readWholeFile(const std::filesystem::path& path, struct stat* status,
                                         int directory) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none comes.
  const int descriptor = ::openat(directory, path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  struct stat opened {};
  int error = 0;
  std::string text;
  if (::fstat(descriptor, &opened) != 0) {
    error = errno;
  } else if (S_ISDIR(opened.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(opened.st_mode) && !S_ISFIFO(opened.st_mode)) {
    error = ENODEV;  // a device may never end (/dev/zero), a socket cannot be read as a file
  } else if (std::size_t(opened.st_size) > largestWholeFile) {
    error = EFBIG;
  } else {
    try {
      error = readAll(descriptor, S_ISFIFO(opened.st_mode), std::size_t(opened.st_size), text);
    } catch (const std::bad_alloc&) {
      error = ENOMEM;
    }
  }
  ::close(descriptor);
  errno = error;
  if (error != 0) return std::nullopt;
  if (status) *status = opened;
  return text;
}

}  // namespace platform
