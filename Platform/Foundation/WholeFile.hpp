#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The largest file read whole: far above any settings suite, string table or bundle info in use (a
// 116 MB suite is read and written), far below what would exhaust memory.
inline constexpr std::size_t largestWholeFile = std::size_t(1) << 30;  // 1 GiB
// How long a FIFO in a file's place, or any file whose reads wait for bytes, is read at most: what its
// writer has sent and closed by then is read.
inline constexpr std::chrono::milliseconds longestFifoRead(500);

// The bytes of the file at `path`, read whole; none when it cannot be opened or read, with errno telling
// why: missing (ENOENT), no permission, a directory (EISDIR), a device or socket (ENODEV), larger than
// largestWholeFile (EFBIG), a FIFO whose writer has not closed it, or a file whose reads wait for bytes,
// not ended within longestFifoRead (ETIMEDOUT), no memory for it (ENOMEM), an I/O error. Opening never
// blocks and no read waits without bound. Never throws. `status`, when given, receives the opened file's
// status. A relative path is taken in `directory` when that is given (an open directory's descriptor).
std::optional<std::string> readWholeFile(const std::filesystem::path& path, struct stat* status = nullptr,
                                         int directory = AT_FDCWD);

}  // namespace platform
