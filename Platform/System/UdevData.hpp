#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/System/TextSource.hpp"

namespace platform {

// The properties udev recorded for a block device in its database (/run/udev/data/b<major>:<minor>, the
// "E:KEY=VALUE" lines). Machines without udev have no database; readers then go without it.
struct UdevData {
  std::map<std::string, std::string, std::less<>> properties;

  // The text of `key`, preferring the escaped form "<key>_ENC" decoded ("Data\x20Disk" is "Data Disk";
  // the plain form has '_' in place of blanks), without blanks at either end; absent when neither is
  // present or the text is empty.
  std::optional<std::string> text(std::string_view key) const;

  // The properties of database text; other lines and lines without "=" are left out.
  static UdevData parse(std::string_view text);

  // The database record of the block device major:minor, or absent when there is none.
  static std::optional<UdevData> read(const TextSource& source, std::uint32_t major, std::uint32_t minor);
};

// Text with udev's "\xHH" escapes turned back into bytes; other backslashes stay as they are.
std::string decodeUdevText(std::string_view text);

}  // namespace platform
