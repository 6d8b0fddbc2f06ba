#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>

namespace platform {

// Writes a file whole or not at all: the bytes go to a new temporary file in the same directory, which
// replaces the file by rename only when every byte has reached the file system. Until then the old file, if
// any, stays as it was; a replacement dropped without commit removes its temporary file. A file that
// replaces another keeps that one's permission bits; a new file gets `newFileMode` less the umask. Every
// failure throws std::system_error whose text names the file and the cause ("No space left on device",
// "Permission denied", "Not a directory", "Is a directory").
class FileReplacement {
 public:
  // Creates the temporary file. Throws when the path names a directory or its directory takes no new file.
  explicit FileReplacement(std::filesystem::path path, mode_t newFileMode = 0666);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  void write(const void* bytes, std::size_t count);
  // Gives the new file the old one's permission bits, flushes it to the file system and renames the
  // temporary file over the path.
  void commit();

  // Removes the temporary files in `directory` whose writer process no longer exists (a writer killed
  // before its rename leaves its temporary file behind). Each temporary file's name holds its writer's
  // process id; those of live processes, and every other file, stay.
  static void removeAbandonedTemporaries(const std::filesystem::path& directory);

 private:
  [[noreturn]] void fail(int error) const;
  void keepPermissions() const;

  std::filesystem::path path_;
  std::filesystem::path temporary_;
  int descriptor_ = -1;
};

}  // namespace platform
