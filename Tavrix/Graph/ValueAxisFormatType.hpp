#pragma once

namespace Tavrix {

// How a value axis writes a value: through its format and unit, or as the short month name of a moment in
// seconds since 1970.
enum class ValueAxisFormatType { formatString, monthShortName };

}  // namespace Tavrix
