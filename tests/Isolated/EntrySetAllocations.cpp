// Runs in a process of its own: it replaces the global allocation function to count the allocations that
// setting values makes.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <optional>

#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/StringIdentifier.hpp"

namespace {

thread_local bool counting = false;
thread_local std::size_t allocations = 0;

}  // namespace

void* operator new(std::size_t size) {
  if (counting) ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

TEST(EntrySetAllocationsTest, SettingNumbersAndRawNumbersAllocatesNothing) {
  Bexlan::NumberIdentifier entry("CPU_T", "Total", Bexlan::IdentifierCategory::percentage, true, 1);
  Bexlan::StringIdentifier text("N_S_DL", "Download", "");
  counting = true;
  for (int i = 0; i < 1000; ++i) {
    entry.setDouble(i * 0.5);
    entry.setUInt64(static_cast<std::uint64_t>(i));
    entry.setOptionalInt32(i % 100 == 0 ? std::nullopt : std::optional<std::int32_t>(-i));
    text.setStringWithRaw(std::nullopt, platform::Number::of(i));
  }
  counting = false;
  EXPECT_EQ(allocations, 0u);
  EXPECT_EQ(entry.history().size(), 50u);
}
