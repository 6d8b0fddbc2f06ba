#pragma once

#include <concepts>
#include <utility>

#include "Platform/Graphics/Transaction.hpp"

namespace Tavrix::CATransaction {

// Runs the body in a transaction of its own whose actions are disabled. The transaction is committed
// however the body ends; an exception from the body passes on after the commit.
template <std::invocable Body>
void performWithoutAnimation(Body&& body) {
  struct Scope {
    Scope() {
      platform::Transaction::begin();
      platform::Transaction::setDisableActions(true);
    }
    ~Scope() { platform::Transaction::commit(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
  } scope;
  std::forward<Body>(body)();
}

}  // namespace Tavrix::CATransaction
