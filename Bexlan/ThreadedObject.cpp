#include "Bexlan/ThreadedObject.hpp"

#include <atomic>
#include <cstdint>

namespace Bexlan {

std::string nextThreadedQueueLabel() {
  static std::atomic<int64_t> queueCounter{0};
  return "com.threading.dispatchqueue_" +
         std::to_string(queueCounter.fetch_add(1, std::memory_order_relaxed));
}

}  // namespace Bexlan
