#pragma once

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "Platform/System/TextSource.hpp"

namespace networktest {

// tests/fixtures/network, from VELMORA_FIXTURES when CTest runs the tests, else beside this source file.
inline std::filesystem::path fixtureRoot() {
  if (const char* fixtures = std::getenv("VELMORA_FIXTURES"))
    return std::filesystem::path(fixtures) / "network";
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "fixtures" / "network";
}

// A recorded tree under tests/fixtures/network ("host", "laptop").
inline platform::FileTreeTextSource fixture(const std::string& name) {
  return platform::FileTreeTextSource(fixtureRoot() / name);
}

// Hands `text` to `parse` mutated every way a hostile or damaged file can be: cut at every offset, with
// random bytes flipped, with a huge number or stray separators put in at random places, and with random
// stretches removed. The parse must survive all of them; the sanitizer builds catch any read out of bounds.
inline void forEachMutation(std::string_view text, const std::function<void(std::string_view)>& parse) {
  for (size_t length = 0; length <= text.size(); ++length) parse(text.substr(0, length));
  std::mt19937 random(20240611);
  auto position = [&](size_t size) { return std::uniform_int_distribution<size_t>(0, size)(random); };
  using namespace std::literals;
  const std::string_view inserts[] = {"99999999999999999999999999"sv,
                                      "FFFFFFFFFFFFFFFFFFFFFF:FFFFF"sv,
                                      ":"sv,
                                      "\n"sv,
                                      "\t"sv,
                                      "-"sv,
                                      "\0"sv,
                                      "  "sv,
                                      "-9223372036854775809."sv};
  for (int round = 0; round < 2000; ++round) {
    std::string mutated(text);
    for (int change = 0; change < 1 + round % 4; ++change) {
      switch (random() % 3) {
        case 0:
          if (!mutated.empty()) mutated[position(mutated.size() - 1)] = static_cast<char>(random() & 0xFF);
          break;
        case 1:
          mutated.insert(position(mutated.size()), inserts[random() % std::size(inserts)]);
          break;
        default: {
          size_t start = position(mutated.size());
          mutated.erase(start, std::uniform_int_distribution<size_t>(0, 40)(random));
          break;
        }
      }
    }
    parse(mutated);
  }
}

}  // namespace networktest
