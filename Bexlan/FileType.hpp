#pragma once

#include <string>

namespace Bexlan {

// Kinds of files, with a display name in the user's language.
enum class FileType { other, video, photo, archive, audio, document };

// The name of the kind from the module's string table ("Video" in English); the table key ("VIDEO") when
// no table of the user's languages has it. A value outside the enumeration is a fatal error.
std::string localizedName(FileType type);

}  // namespace Bexlan
