#pragma once

#include <string>

namespace platform {

// A new random (version 4, variant 10xx) UUID as 36 upper-case characters in the 8-4-4-4-12 layout, e.g.
// "3F2504E0-4F89-41D3-9A0C-0305E82C3301". Each thread draws from its own generator seeded from the
// system's random source; a forked child reseeds before its first draw, so it never repeats its parent.
std::string uuidString();

}  // namespace platform
