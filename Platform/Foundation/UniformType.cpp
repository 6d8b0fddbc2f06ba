#include "Platform/Foundation/UniformType.hpp"

#include <fcntl.h>
#include <gio/gio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <string_view>

namespace platform {

namespace {

// The archive and compressed-file formats, by their shared-mime-info names.
constexpr std::array archiveTypes = {
    "application/zip",
    "application/gzip",
    "application/x-tar",
    "application/x-ustar",
    "application/x-compressed-tar",
    "application/x-bzip",
    "application/x-bzip-compressed-tar",
    "application/x-xz",
    "application/x-xz-compressed-tar",
    "application/x-lzma",
    "application/x-lzma-compressed-tar",
    "application/zstd",
    "application/x-zstd-compressed-tar",
    "application/x-lzip",
    "application/x-lzip-compressed-tar",
    "application/x-lz4",
    "application/x-lz4-compressed-tar",
    "application/x-lrzip",
    "application/x-lrzip-compressed-tar",
    "application/x-lzop",
    "application/x-compress",
    "application/x-tarz",
    "application/x-7z-compressed",
    "application/vnd.rar",
    "application/x-cpio",
    "application/x-cpio-compressed",
    "application/x-archive",
    "application/x-arj",
    "application/x-lha",
    "application/x-ace",
    "application/x-stuffit",
    "application/vnd.ms-cab-compressed",
};

// As much of a file as GIO's own file queries read to recognise its content.
constexpr std::size_t sniffLength = 4096;

using GText = std::unique_ptr<gchar, decltype(&g_free)>;

bool hasPrefix(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool sameType(const std::string& type, const char* other) {
  return g_content_type_equals(type.c_str(), other);
}

// The type of a regular file from its name and, when the name leaves it open, its first bytes. An
// unreadable file is guessed from its name alone.
std::string regularFileType(const std::filesystem::path& path) {
  std::array<guchar, sniffLength> head{};
  std::size_t length = 0;
  bool haveHead = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
  if (fd >= 0) {
    haveHead = true;
    while (length < head.size()) {
      const ssize_t got = ::read(fd, head.data() + length, head.size() - length);
      if (got < 0 && errno == EINTR) {
        continue;
      }
      if (got < 0) {
        haveHead = false;
        break;
      }
      if (got == 0) {
        break;
      }
      length += static_cast<std::size_t>(got);
    }
    ::close(fd);
  }
  const GText type(g_content_type_guess(path.c_str(), haveHead ? head.data() : nullptr, length, nullptr),
                   &g_free);
  return type ? std::string(type.get()) : std::string("application/octet-stream");
}

}  // namespace

bool UniformType::conforms(Category category) const {
  switch (category) {
    case Category::image: return hasPrefix(identifier_, "image/");
    case Category::movie: return hasPrefix(identifier_, "video/");
    case Category::audio: return hasPrefix(identifier_, "audio/");
    case Category::pdf: return sameType(identifier_, "application/pdf");
    case Category::archive:
      for (const char* archive : archiveTypes) {
        if (sameType(identifier_, archive)) {
          return true;
        }
      }
      return false;
  }
  return false;
}

std::optional<UniformType> UniformType::ofFile(const std::filesystem::path& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0) {
    return std::nullopt;
  }
  switch (status.st_mode & S_IFMT) {
    case S_IFREG: return UniformType(regularFileType(path));
    case S_IFDIR: return UniformType("inode/directory");
    case S_IFLNK: return UniformType("inode/symlink");
    case S_IFBLK: return UniformType("inode/blockdevice");
    case S_IFCHR: return UniformType("inode/chardevice");
    case S_IFIFO: return UniformType("inode/fifo");
    case S_IFSOCK: return UniformType("inode/socket");
    default: return std::nullopt;
  }
}

}  // namespace platform
