#include "Platform/Foundation/Uuid.hpp"

#include <pthread.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <random>

namespace platform {
namespace {

// Counts the forks this process came out of; a thread's generator that was seeded under another count
// holds a copy of the parent's state and must be seeded again.
std::atomic<unsigned> forkGeneration{0};

void noteFork() { forkGeneration.fetch_add(1, std::memory_order_relaxed); }

struct Generator {
  std::mt19937_64 engine;
  unsigned generation = 0;

  void seed() {
    std::random_device device;
    std::array<std::uint32_t, 8> words{};
    for (std::uint32_t& word : words) word = device();
    std::seed_seq sequence(words.begin(), words.end());
    engine.seed(sequence);
    generation = forkGeneration.load(std::memory_order_relaxed);
  }
};

std::mt19937_64& threadEngine() {
  [[maybe_unused]] static const int registered = pthread_atfork(nullptr, nullptr, noteFork);
  thread_local Generator generator = [] {
    Generator fresh;
    fresh.seed();
    return fresh;
  }();
  if (generator.generation != forkGeneration.load(std::memory_order_relaxed)) generator.seed();
  return generator.engine;
}

}  // namespace

std::string uuidString() {
  std::mt19937_64& engine = threadEngine();
  std::array<std::uint8_t, 16> bytes{};
  for (std::size_t half = 0; half < 2; ++half) {
    std::uint64_t draw = engine();
    for (std::size_t i = 0; i < 8; ++i, draw >>= 8) bytes[half * 8 + i] = static_cast<std::uint8_t>(draw);
  }
  bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40);  // version 4
  bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80);  // variant 10xx

  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(36);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
    text += digits[bytes[i] >> 4];
    text += digits[bytes[i] & 0x0F];
  }
  return text;
}

}  // namespace platform
