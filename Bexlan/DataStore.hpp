#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Bexlan/IDataStore.hpp"

namespace Bexlan {

// The data store: entries in a guarded dictionary on a concurrent queue of the store's own.
//
// Every lookup is a synchronous read that runs in parallel with other reads; registering, removing and
// merging are barrier writes that return at once (and run at once when the queue is idle); emptying is a
// synchronous barrier write. A setter finds its entry by a read and changes the entry in place on the
// caller's thread: a thread's later reads always see its earlier writes. Entries guard what they say they
// guard (a number entry its history); write the numbers and texts of one entry from one thread at a time.
class DataStore final : public IDataStore {
 public:
  static constexpr std::int64_t defaultHistorySize = 60;

  // An empty store with history size 60.
  DataStore() = default;
  DataStore(const DataStore&) = delete;
  DataStore& operator=(const DataStore&) = delete;

  Entries& data() override { return data_; }
  const Entries& data() const override { return data_; }

  std::int64_t historySize() const override { return historySize_.load(std::memory_order_relaxed); }
  void setHistorySize(std::int64_t size) override;

  std::shared_ptr<Identifier> identifier(const std::string& key) const override;
  bool contains(const std::string& key) const override;

  void add(std::shared_ptr<Identifier> entry) override;
  void remove(const std::string& key) override;
  void removeAll() override;
  void merge(const IDataStore& other) override;

  void setNumber(const std::string& key, std::optional<platform::Number> number) override;
  void setString(const std::string& key, std::optional<std::string> text) override;
  void setStringWithRaw(const std::string& key, std::optional<std::string> text,
                        platform::Number rawValue) override;

  // The current number of the resolved number entry; else the raw number of the resolved text entry; else
  // absent.
  std::optional<platform::Number> value(const std::string& key) const override;
  // The display text of the resolved number or text entry; "-" for anything else.
  std::string string(const std::string& key) const override;

 private:
  // The entry registered under key itself when it is an Entry, else null; aliases are not resolved.
  template <class Entry>
  std::shared_ptr<Entry> registeredAs(const std::string& key) const;

  Entries data_;
  std::atomic<std::int64_t> historySize_{defaultHistorySize};
};

}  // namespace Bexlan
