#pragma once

#include <stdexcept>

namespace platform {

// Groups layer changes, as the platform's transactions do. This model has no implicit animations: every
// layer property set takes effect at once, inside a transaction or not, so disableActions is recorded for
// the code that asks for it and changes nothing else. Transactions belong to the calling thread and nest; a
// nested transaction starts with the disableActions of the one around it. Outside any begin/commit pair the
// thread's implicit transaction (which lives as long as the thread) holds the setting.
class Transaction {
 public:
  static void begin();
  // Ends the innermost transaction. Throws std::logic_error when no transaction was begun on this thread.
  static void commit();

  static void setDisableActions(bool disable);
  static bool disableActions();
};

}  // namespace platform
