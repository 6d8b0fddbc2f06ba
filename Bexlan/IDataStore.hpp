#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "Bexlan/BXDictionary.hpp"
#include "Bexlan/HistoryProvider.hpp"
#include "Bexlan/Identifier.hpp"
#include "Bexlan/InfoProvider.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// A keyed, thread-safe table of entries (number, text and alias entries) that a provider writes and the
// widgets read.
//
// Reads resolve an alias by exactly one hop: they see the entry under the alias's target key, whatever its
// kind. Writes never resolve aliases and never create entries: a setter changes the entry registered under
// the key itself, and only when it is of the right kind; otherwise it does nothing. Reads of a key with
// nothing to show give absent, "-", 0 or an empty history.
//
// The derived class implements a few primitives; the typed setters, increments, histories and values are
// built on them here.
class IDataStore : public InfoProvider, public TypedValueLookups<IDataStore> {
 public:
  using Entries = BXDictionary<std::string, std::shared_ptr<Identifier>>;

  // The store's entries by key: the guarded dictionary itself, not a copy.
  virtual Entries& data() = 0;
  virtual const Entries& data() const = 0;

  // The number of samples that every history-keeping entry of the store keeps.
  virtual std::int64_t historySize() const = 0;
  // Stores size and restarts the history of every number and text entry now in the store at that length.
  // Throws std::invalid_argument when size is negative.
  virtual void setHistorySize(std::int64_t size) = 0;

  // The entry under key, with an alias replaced by the entry under its target key (or null when the target
  // has none); an alias whose target is another alias yields that second alias. Null when key has none.
  virtual std::shared_ptr<Identifier> identifier(const std::string& key) const = 0;
  // Whether an entry of any kind, an alias included, is registered under exactly this key.
  virtual bool contains(const std::string& key) const = 0;

  // Registers entry under its identifier, replacing an entry with the same key; an entry that keeps a
  // history is first restarted at the store's history size. Returns before the write is made, but every
  // later call of this thread sees it. Throws std::invalid_argument for a null entry.
  virtual void add(std::shared_ptr<Identifier> entry) = 0;
  // Removes the entry registered under key (an alias, not its target). Returns before the write is made.
  virtual void remove(const std::string& key) = 0;
  // Removes every entry, before returning.
  virtual void removeAll() = 0;
  // Stores every entry of other under its key in this store, the same entry objects, replacing entries with
  // the same keys; entries of other keys stay. Entries keep their own history size. Returns before the
  // write is made; readers see all pairs at once.
  virtual void merge(const IDataStore& other) = 0;

  // The number entry registered under key itself takes number (absent: no current number, and its oldest
  // sample leaves the history); anything else under key is left alone.
  virtual void setNumber(const std::string& key, std::optional<platform::Number> number) = 0;
  // The text entry registered under key itself takes text as its text; its raw number and history stay.
  virtual void setString(const std::string& key, std::optional<std::string> text) = 0;
  // The text entry registered under key itself takes text and raw number, and records the raw number in
  // its history, minimum and maximum.
  virtual void setStringWithRaw(const std::string& key, std::optional<std::string> text,
                                platform::Number rawValue) = 0;

  void removeIdentifier(const Identifier& entry) { remove(entry.identifier()); }

  // The entry that identifier(key) yields when it is a T, else null.
  template <class T>
  std::shared_ptr<T> identifierAs(const std::string& key) const {
    return std::dynamic_pointer_cast<T>(identifier(key));
  }

  // The resolved entry's samples, oldest first; absent when it keeps no history.
  std::optional<std::vector<platform::Number>> history(const std::string& key) const {
    if (const auto entry = identifierAs<HistoryProvider>(key)) return entry->history();
    return std::nullopt;
  }
  bool hasHistory(const std::string& key) const { return identifierAs<HistoryProvider>(key) != nullptr; }
  std::optional<platform::Number> min(const std::string& key) const {
    const auto entry = identifierAs<MinValueProvider>(key);
    return entry ? entry->min() : std::nullopt;
  }
  std::optional<platform::Number> max(const std::string& key) const {
    const auto entry = identifierAs<MaxValueProvider>(key);
    return entry ? entry->max() : std::nullopt;
  }

  // Each stores a number of its own type (setInt and setUInt are 64 bits wide); the optional forms make
  // the number absent when given none.
  void setInt(const std::string& key, std::int64_t value) { set(key, value); }
  void setOptionalInt(const std::string& key, std::optional<std::int64_t> value) { set(key, value); }
  void setInt16(const std::string& key, std::int16_t value) { set(key, value); }
  void setOptionalInt16(const std::string& key, std::optional<std::int16_t> value) { set(key, value); }
  void setInt32(const std::string& key, std::int32_t value) { set(key, value); }
  void setOptionalInt32(const std::string& key, std::optional<std::int32_t> value) { set(key, value); }
  void setInt64(const std::string& key, std::int64_t value) { set(key, value); }
  void setOptionalInt64(const std::string& key, std::optional<std::int64_t> value) { set(key, value); }
  void setUInt(const std::string& key, std::uint64_t value) { set(key, value); }
  void setOptionalUInt(const std::string& key, std::optional<std::uint64_t> value) { set(key, value); }
  void setUInt16(const std::string& key, std::uint16_t value) { set(key, value); }
  void setOptionalUInt16(const std::string& key, std::optional<std::uint16_t> value) { set(key, value); }
  void setUInt32(const std::string& key, std::uint32_t value) { set(key, value); }
  void setOptionalUInt32(const std::string& key, std::optional<std::uint32_t> value) { set(key, value); }
  void setUInt64(const std::string& key, std::uint64_t value) { set(key, value); }
  void setOptionalUInt64(const std::string& key, std::optional<std::uint64_t> value) { set(key, value); }
  void setFloat(const std::string& key, float value) { set(key, value); }
  void setOptionalFloat(const std::string& key, std::optional<float> value) { set(key, value); }
  void setDouble(const std::string& key, double value) { set(key, value); }
  void setOptionalDouble(const std::string& key, std::optional<double> value) { set(key, value); }

  // Each reads the key's number (value(key), so through an alias) in its own type, adds delta and sets the
  // sum with the setter of that type, which stores it only in a number entry registered under key itself.
  // Nothing happens when the number is absent. Integer sums wrap around instead of overflowing.
  void incrementInt(const std::string& key, std::int64_t delta) { increment(key, delta); }
  void incrementInt16(const std::string& key, std::int16_t delta) { increment(key, delta); }
  void incrementInt32(const std::string& key, std::int32_t delta) { increment(key, delta); }
  void incrementInt64(const std::string& key, std::int64_t delta) { increment(key, delta); }
  void incrementUInt(const std::string& key, std::uint64_t delta) { increment(key, delta); }
  void incrementUInt16(const std::string& key, std::uint16_t delta) { increment(key, delta); }
  void incrementUInt32(const std::string& key, std::uint32_t delta) { increment(key, delta); }
  void incrementUInt64(const std::string& key, std::uint64_t delta) { increment(key, delta); }
  void incrementFloat(const std::string& key, float delta) { increment(key, delta); }
  void incrementDouble(const std::string& key, double delta) { increment(key, delta); }

  // history(key), each sample read in the named type; empty when there is no history. cgFloatHistory reads
  // each sample as a float and widens it, so it is exactly as precise as floatHistory.
  std::vector<std::int8_t> int8History(const std::string& key) const { return historyAs<std::int8_t>(key); }
  std::vector<std::int16_t> int16History(const std::string& key) const {
    return historyAs<std::int16_t>(key);
  }
  std::vector<std::int32_t> int32History(const std::string& key) const {
    return historyAs<std::int32_t>(key);
  }
  std::vector<std::int64_t> int64History(const std::string& key) const {
    return historyAs<std::int64_t>(key);
  }
  std::vector<std::uint8_t> uInt8History(const std::string& key) const {
    return historyAs<std::uint8_t>(key);
  }
  std::vector<std::uint16_t> uInt16History(const std::string& key) const {
    return historyAs<std::uint16_t>(key);
  }
  std::vector<std::uint32_t> uInt32History(const std::string& key) const {
    return historyAs<std::uint32_t>(key);
  }
  std::vector<std::uint64_t> uInt64History(const std::string& key) const {
    return historyAs<std::uint64_t>(key);
  }
  std::vector<float> floatHistory(const std::string& key) const { return historyAs<float>(key); }
  std::vector<double> cgFloatHistory(const std::string& key) const { return historyAs<double, float>(key); }
  std::vector<double> doubleHistory(const std::string& key) const { return historyAs<double>(key); }

 private:
  template <class T>
  void set(const std::string& key, T value) {
    setNumber(key, platform::Number::of(value));
  }
  template <class T>
  void set(const std::string& key, std::optional<T> value) {
    setNumber(key, value ? std::optional(platform::Number::of(*value)) : std::nullopt);
  }

  template <class T>
  void increment(const std::string& key, T delta) {
    const auto current = value(key);
    if (!current) return;
    if constexpr (std::is_integral_v<T>) {
      // Unsigned arithmetic wraps; the conversion back to T is modular.
      using Bits = std::make_unsigned_t<T>;
      set(key, static_cast<T>(static_cast<Bits>(numberAs<T>(*current)) + static_cast<Bits>(delta)));
    } else {
      set(key, numberAs<T>(*current) + delta);
    }
  }

  // Element is the result type, Read the type each sample is read as.
  template <class Element, class Read = Element>
  std::vector<Element> historyAs(const std::string& key) const {
    std::vector<Element> result;
    if (const auto samples = history(key)) {
      result.reserve(samples->size());
      for (const auto& sample : *samples) result.push_back(static_cast<Element>(numberAs<Read>(sample)));
    }
    return result;
  }
};

}  // namespace Bexlan
