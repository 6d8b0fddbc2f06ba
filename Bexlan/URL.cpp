#include "Bexlan/URL.hpp"

#include <system_error>
#include <utility>

#include "Bexlan/String.hpp"

namespace Bexlan::URL {

namespace {

using Category = platform::UniformType::Category;

bool conforms(const std::filesystem::path& url, Category category) {
  const auto type = contentType(url);
  return type && type->conforms(category);
}

}  // namespace

bool isDirectory(const std::filesystem::path& url) {
  std::error_code error;
  return std::filesystem::symlink_status(url, error).type() == std::filesystem::file_type::directory;
}

std::optional<std::string> typeIdentifier(const std::filesystem::path& url) {
  auto type = contentType(url);
  return type ? std::optional<std::string>(type->identifier()) : std::nullopt;
}

std::optional<platform::UniformType> contentType(const std::filesystem::path& url) {
  return platform::UniformType::ofFile(url);
}

std::string fileName(const std::filesystem::path& url) { return String::lastPathComponent(url.native()); }

bool isImage(const std::filesystem::path& url) { return conforms(url, Category::image); }
bool isMovie(const std::filesystem::path& url) { return conforms(url, Category::movie); }
bool isAudio(const std::filesystem::path& url) { return conforms(url, Category::audio); }
bool isArchive(const std::filesystem::path& url) { return conforms(url, Category::archive); }
bool isPDF(const std::filesystem::path& url) { return conforms(url, Category::pdf); }

FileType fileType(const std::filesystem::path& url) {
  // The type is read once for all the kinds.
  const auto type = contentType(url);
  if (!type) {
    return FileType::other;
  }
  const std::pair<Category, FileType> kinds[] = {{Category::image, FileType::photo},
                                                 {Category::movie, FileType::video},
                                                 {Category::audio, FileType::audio},
                                                 {Category::archive, FileType::archive},
                                                 {Category::pdf, FileType::document}};
  for (const auto& [category, kind] : kinds) {
    if (type->conforms(category)) {
      return kind;
    }
  }
  return FileType::other;
}

}  // namespace Bexlan::URL
