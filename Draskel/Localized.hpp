#pragma once

#include <string>
#include <string_view>

namespace Draskel {

// The text of `key` in the default string table of this module's resource bundle ("Draskel_Draskel"), in
// the current language; the key itself when no table has it. The bundle is found once, on first use; a
// missing bundle stops the program with "unable to find bundle named Draskel_Draskel".
std::string localized(std::string_view key);

}  // namespace Draskel
