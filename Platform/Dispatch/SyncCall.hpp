#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace platform::detail {

// A non-owning reference to a callable taking no arguments, for handing a caller's block through a
// non-template function without copying or allocating. The callable must outlive the call.
class BlockRef {
 public:
  template <class F>
  explicit BlockRef(F& block) noexcept
      : target_(const_cast<void*>(static_cast<const void*>(std::addressof(block)))),
        invoke_([](void* target) { (*static_cast<F*>(target))(); }) {}

  void operator()() const { invoke_(target_); }

 private:
  void* target_;
  void (*invoke_)(void*);
};

// Where a synchronous call keeps its block's result until it returns it; references are kept as
// references.
template <class R>
class SyncResult {
 public:
  template <class F>
  void produce(F& block) {
    value_.emplace(std::invoke(block));
  }
  R take() { return std::move(*value_); }

 private:
  std::optional<R> value_;
};

template <class R>
requires std::is_reference_v<R>
class SyncResult<R> {
 public:
  template <class F>
  void produce(F& block) {
    auto&& result = std::invoke(block);
    value_ = std::addressof(result);
  }
  R take() const noexcept { return static_cast<R>(*value_); }

 private:
  std::remove_reference_t<R>* value_ = nullptr;
};

}  // namespace platform::detail
