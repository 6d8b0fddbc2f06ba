#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Bexlan/IDataStore.hpp"

namespace Bexlan {

// The data store. Lookups are synchronous and run in parallel with each other; registering, removing and
// merging return before the write is made, emptying after it; a thread's later reads always see its
// earlier writes. A setter changes its entry in place on the caller's thread. Entries guard what they say
// they guard (a number entry its history); write the numbers and texts of one entry from one thread at a
// time.
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
