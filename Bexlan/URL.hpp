#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "Bexlan/FileType.hpp"
#include "Platform/Foundation/UniformType.hpp"

// Facts about the file a file URL names, given as its path. Each describes the item at the path itself (a
// symbolic link is not followed) and none throws: a path that does not exist or cannot be examined is not
// a directory, has no type and belongs to no kind.
namespace Bexlan::URL {

// True when the path names a directory.
bool isDirectory(const std::filesystem::path& url);
// The file's type identifier: its MIME type ("image/png", "inode/directory"), see UniformType::ofFile.
std::optional<std::string> typeIdentifier(const std::filesystem::path& url);
// The file's type.
std::optional<platform::UniformType> contentType(const std::filesystem::path& url);
// The last path component ("/a/b/" gives "b").
std::string fileName(const std::filesystem::path& url);

// Whether the file's type is of the kind (UniformType::conforms).
bool isImage(const std::filesystem::path& url);
bool isMovie(const std::filesystem::path& url);
bool isAudio(const std::filesystem::path& url);
bool isArchive(const std::filesystem::path& url);
bool isPDF(const std::filesystem::path& url);

// The first kind that holds, in this order: image (photo), movie (video), audio, archive, PDF (document);
// other for none.
FileType fileType(const std::filesystem::path& url);

}  // namespace Bexlan::URL
