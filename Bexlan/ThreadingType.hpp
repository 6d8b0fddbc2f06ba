#pragma once

#include <cstdint>

namespace Bexlan {

// How a guarded value's queue runs its blocks: readers in parallel with exclusive writers, or one block at a
// time.
enum class ThreadingType : int64_t { concurrent = 0, serial = 1 };

}  // namespace Bexlan
