#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The properties udev keeps for a device (see UdevDatabase). Machines without udev have none; readers then
// go without them.
struct UdevData {
  std::map<std::string, std::string, std::less<>> properties;

  // The text of `key`, preferring the escaped form "<key>_ENC" decoded ("Data\x20Disk" is "Data Disk";
  // the plain form has '_' in place of blanks), without blanks at either end; absent when neither is
  // present or the text is empty.
  std::optional<std::string> text(std::string_view key) const;
};

// Text with udev's "\xHH" escapes turned back into bytes; other backslashes stay as they are.
std::string decodeUdevText(std::string_view text);

}  // namespace platform
