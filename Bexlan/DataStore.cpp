#include "Bexlan/DataStore.hpp"

#include <stdexcept>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/String.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Bexlan/WrappedIdentifier.hpp"

namespace Bexlan {

namespace {

using Map = IDataStore::Entries::Map;

// The entry as an Entry when it is exactly one, else null. The entry classes are final, so comparing the
// dynamic type is enough, and it costs a fraction of a dynamic_cast across their several bases.
template <class Entry, class Stored>
requires std::is_final_v<Entry> Entry* exactly(Stored* entry) {
  return entry != nullptr && typeid(*entry) == typeid(Entry) ? static_cast<Entry*>(entry) : nullptr;
}

}  // namespace

template <class Entry>
std::shared_ptr<Entry> DataStore::registeredAs(const std::string& key) const {
  return data_.syncRead([&](const Map& map) -> std::shared_ptr<Entry> {
    const auto found = map.find(key);
    if (found == map.end()) return nullptr;
    auto* entry = exactly<Entry>(found->second.get());
    // Shares ownership with the stored pointer: one reference count change, no second cast.
    return entry ? std::shared_ptr<Entry>(found->second, entry) : nullptr;
  });
}

void DataStore::setHistorySize(std::int64_t size) {
  if (size < 0) {
    throw std::invalid_argument("DataStore: historySize must not be negative, got " + std::to_string(size));
  }
  historySize_.store(size, std::memory_order_relaxed);
  for (const auto& entry : data_.values()) {
    if (auto* keeper = dynamic_cast<HistoryProvider*>(entry.get())) keeper->setHistorySize(size);
  }
}

std::shared_ptr<Identifier> DataStore::identifier(const std::string& key) const {
  return data_.syncRead([&](const Map& map) -> std::shared_ptr<Identifier> {
    const auto found = map.find(key);
    if (found == map.end()) return nullptr;
    const auto* alias = exactly<const WrappedIdentifier>(found->second.get());
    if (!alias) return found->second;
    // One hop only: the target is returned whatever its kind, another alias included.
    const auto target = map.find(alias->wrappedIdentifier());
    return target == map.end() ? nullptr : target->second;
  });
}

bool DataStore::contains(const std::string& key) const {
  return data_.syncRead([&](const Map& map) { return map.contains(key); });
}

void DataStore::add(std::shared_ptr<Identifier> entry) {
  if (!entry) {
    throw std::invalid_argument("DataStore: cannot add a null entry");
  }
  if (auto* keeper = dynamic_cast<HistoryProvider*>(entry.get())) keeper->setHistorySize(historySize());
  std::string key = entry->identifier();
  data_.set(std::move(key), std::move(entry));
}

void DataStore::remove(const std::string& key) { data_.set(key, std::nullopt); }

void DataStore::removeAll() { data_.removeAll(); }

void DataStore::merge(const IDataStore& other) {
  // The pairs are taken in one read of the other store and stored in one write here, so neither store is
  // walked while it changes and readers never see half a merge.
  data_.asyncWrite([pairs = other.data().snapshot()](Map& map) mutable {
    for (auto& [key, entry] : pairs) map.insert_or_assign(std::move(key), std::move(entry));
  });
}

void DataStore::setNumber(const std::string& key, std::optional<platform::Number> number) {
  if (const auto entry = registeredAs<NumberIdentifier>(key)) entry->setNumber(number);
}

void DataStore::setString(const std::string& key, std::optional<std::string> text) {
  if (const auto entry = registeredAs<StringIdentifier>(key)) entry->setString(std::move(text));
}

void DataStore::setStringWithRaw(const std::string& key, std::optional<std::string> text,
                                 platform::Number rawValue) {
  if (const auto entry = registeredAs<StringIdentifier>(key)) {
    entry->setStringWithRaw(std::move(text), rawValue);
  }
}

std::optional<platform::Number> DataStore::value(const std::string& key) const {
  const auto entry = identifier(key);
  if (const auto* number = exactly<const NumberIdentifier>(entry.get())) return number->rawValue();
  if (const auto* text = exactly<const StringIdentifier>(entry.get())) return text->mRawValue();
  return std::nullopt;
}

std::string DataStore::string(const std::string& key) const {
  const auto entry = identifier(key);
  // Only number and text entries are asked for their text: an alias has none of its own.
  const bool hasText = exactly<const NumberIdentifier>(entry.get()) != nullptr ||
                       exactly<const StringIdentifier>(entry.get()) != nullptr;
  return hasText ? entry->description() : String::dash();
}

}  // namespace Bexlan
