#pragma once

#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>
#include <filesystem>

namespace platform {

// Writes a file whole or not at all: the bytes go to a new temporary file in the same directory, which
// replaces the file by rename only when every byte has reached the file system. Until then the old file, if
// any, stays as it was; a replacement dropped without commit removes its temporary file, and one whose
// process was killed leaves it for removeTemporariesOf. A file that replaces another keeps that one's
// permission bits; a new file gets `newFileMode` less the umask. Every failure throws std::system_error
// whose text names the file and the cause ("No space left on device", "Permission denied", "Not a
// directory", "Is a directory"). Given an open `directory` (a descriptor, O_PATH will do), the path is taken
// within it, and the file is replaced there however the directory is renamed meanwhile.
class FileReplacement {
 public:
  // Creates the temporary file. Throws when the path names a directory or its directory takes no new file.
  explicit FileReplacement(std::filesystem::path path, mode_t newFileMode = 0666, int directory = AT_FDCWD);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  void write(const void* bytes, std::size_t count);
  // Gives the new file the old one's permission bits, flushes it to the file system and renames the
  // temporary file over the path.
  void commit();

  // Removes the temporary files left by writers of `file` that never committed (a writer killed before its
  // rename leaves one behind): every one, whatever process made it, so call it only where no other writer
  // of the file can be at work, as under a FileLock of it that all its writers take. Only regular files this
  // user owns go; the temporaries of other files in the directory stay.
  static void removeTemporariesOf(const std::filesystem::path& file, int directory = AT_FDCWD);

  // The length of the longest temporary file name for a file name `length` long.
  static std::size_t longestTemporaryName(std::size_t length);

 private:
  [[noreturn]] void fail(int error) const;
  void keepPermissions() const;

  std::filesystem::path path_;
  std::filesystem::path temporary_;
  int directory_;
  int descriptor_ = -1;
};

}  // namespace platform
