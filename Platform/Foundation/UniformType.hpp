#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The type of a file's content, named by its shared-mime-info MIME type ("image/png", "application/pdf",
// "inode/directory"), as the desktop's file managers name it.
class UniformType {
 public:
  // The broad kinds a type can belong to.
  enum class Category { image, movie, audio, archive, pdf };

  explicit UniformType(std::string identifier) : identifier_(std::move(identifier)) {}

  const std::string& identifier() const { return identifier_; }

  // True when the type is of the kind: every "image/", "video/" and "audio/" type for the first three,
  // one of the common archive and compressed-file formats (zip, gzip, tar and its compressed forms, bzip2,
  // xz, lzma, zstd, 7-Zip, RAR, cpio, ar and the like) for archives, and the PDF type itself. Aliases
  // ("application/x-gzip") count as the type they stand for.
  bool conforms(Category category) const;

  // The type of the file at the path itself (a symbolic link is "inode/symlink"): directories, devices,
  // pipes and sockets by their "inode/" types, regular files as GIO guesses them from the file name and
  // the first bytes (the name decides when it is unambiguous). nullopt when the path does not exist or
  // cannot be examined.
  static std::optional<UniformType> ofFile(const std::filesystem::path& path);

  bool operator==(const UniformType&) const = default;

 private:
  std::string identifier_;
};

}  // namespace platform
