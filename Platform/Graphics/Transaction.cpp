#include "Platform/Graphics/Transaction.hpp"

#include <stdexcept>
#include <vector>

namespace platform {

namespace {

// The disableActions of each open transaction of this thread; the first entry is the implicit one.
thread_local std::vector<bool> openTransactions{false};

}  // namespace

void Transaction::begin() { openTransactions.push_back(openTransactions.back()); }

void Transaction::commit() {
  if (openTransactions.size() == 1) {
    throw std::logic_error("Transaction::commit: no transaction was begun on this thread");
  }
  openTransactions.pop_back();
}

void Transaction::setDisableActions(bool disable) { openTransactions.back() = disable; }

bool Transaction::disableActions() { return openTransactions.back(); }

}  // namespace platform
