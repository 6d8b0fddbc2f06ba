#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace Bexlan {

// A last-in, first-out list; the last element of `array` is the top.
template <class T>
struct Stack {
  std::vector<T> array;

  void push(T element) { array.push_back(std::move(element)); }

  std::optional<T> pop() {
    if (array.empty()) return std::nullopt;
    std::optional<T> top(std::move(array.back()));
    array.pop_back();
    return top;
  }

  std::optional<T> peek() const {
    if (array.empty()) return std::nullopt;
    return array.back();
  }

  void removeAll() { std::vector<T>().swap(array); }
  bool isEmpty() const noexcept { return array.empty(); }
  int64_t count() const noexcept { return static_cast<int64_t>(array.size()); }
};

}  // namespace Bexlan
