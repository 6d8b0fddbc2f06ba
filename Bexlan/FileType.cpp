#include "Bexlan/FileType.hpp"

#include <string_view>

#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/FatalError.hpp"

namespace Bexlan {
namespace {

std::string_view key(FileType type) {
  switch (type) {
    case FileType::other: return "OTHER";
    case FileType::video: return "VIDEO";
    case FileType::photo: return "PHOTO";
    case FileType::archive: return "ARCHIVE";
    case FileType::audio: return "AUDIO";
    case FileType::document: return "DOCUMENT";
  }
  platform::fatalError("FileType has no case " + std::to_string(static_cast<int>(type)));
}

}  // namespace

std::string localizedName(FileType type) {
  return platform::Bundle::module("Bexlan")->localizedString(key(type));
}

}  // namespace Bexlan
