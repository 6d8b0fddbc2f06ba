#pragma once

#include <cstdint>

// Size units in bytes: binary units step by 1024, decimal units by 1000.
namespace Bexlan {

inline constexpr std::uint64_t kibibyte = std::uint64_t{1} << 10;
inline constexpr std::uint64_t mebibyte = std::uint64_t{1} << 20;
inline constexpr std::uint64_t gibibyte = std::uint64_t{1} << 30;
inline constexpr std::uint64_t tebibyte = std::uint64_t{1} << 40;
inline constexpr std::uint64_t pebibyte = std::uint64_t{1} << 50;
inline constexpr std::uint64_t exbibyte = std::uint64_t{1} << 60;

inline constexpr std::uint64_t kilobyte = 1'000;
inline constexpr std::uint64_t megabyte = 1'000'000;
inline constexpr std::uint64_t gigabyte = 1'000'000'000;
inline constexpr std::uint64_t terabyte = 1'000'000'000'000;
inline constexpr std::uint64_t petabyte = 1'000'000'000'000'000;
inline constexpr std::uint64_t exabyte = 1'000'000'000'000'000'000;

}  // namespace Bexlan
