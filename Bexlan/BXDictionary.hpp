#pragma once

#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "Bexlan/ThreadedObject.hpp"

namespace Bexlan {

// A hash map guarded by its own queue. Keyed reads are synchronous; keyed writes return at once. Every walk
// (snapshot, count, emptiness, search) reads the whole map in one synchronous read, so it stays valid while
// other threads add or remove entries.
template <class Key, class Value>
class BXDictionary : public ThreadedObject<std::unordered_map<Key, Value>> {
 public:
  using Map = std::unordered_map<Key, Value>;
  using Element = std::pair<Key, Value>;

  BXDictionary() : BXDictionary(Map{}, ThreadingType::concurrent) {}
  explicit BXDictionary(Map map) : BXDictionary(std::move(map), ThreadingType::concurrent) {}
  BXDictionary(Map map, ThreadingType threadingType) : ThreadedObject<Map>(std::move(map), threadingType) {}

  // The value under `key`, or absent.
  std::optional<Value> get(const Key& key) const {
    return this->syncRead([&](const Map& map) -> std::optional<Value> {
      auto found = map.find(key);
      if (found == map.end()) return std::nullopt;
      return found->second;
    });
  }

  // Stores `value` under `key`; absent removes the key. Returns before the change is made.
  void set(Key key, std::optional<Value> value) {
    this->asyncWrite([key = std::move(key), value = std::move(value)](Map& map) mutable {
      if (value) {
        map.insert_or_assign(std::move(key), std::move(*value));
      } else {
        map.erase(key);
      }
    });
  }

  // Reads the entry under `key`, lets `change` alter it (absent: no entry; setting absent removes it) and
  // stores the result, all in one barrier, so two threads changing one key never lose an update.
  template <class F>
  void modify(const Key& key, F&& change) {
    this->syncWrite([&](Map& map) {
      auto found = map.find(key);
      std::optional<Value> entry;
      if (found != map.end()) entry = found->second;
      change(entry);
      if (entry) {
        if (found != map.end()) {
          found->second = std::move(*entry);
        } else {
          map.emplace(key, std::move(*entry));
        }
      } else if (found != map.end()) {
        map.erase(found);
      }
    });
  }

  // Removes every entry and releases the storage.
  void removeAll() {
    this->syncWrite([](Map& map) { Map().swap(map); });
  }

  // The values, in the hash map's order.
  std::vector<Value> values() const {
    return this->syncRead([](const Map& map) {
      std::vector<Value> result;
      result.reserve(map.size());
      for (const auto& entry : map) result.push_back(entry.second);
      return result;
    });
  }

  // Every (key, value) pair, in the hash map's order, taken at one moment.
  std::vector<Element> snapshot() const {
    return this->syncRead([](const Map& map) { return std::vector<Element>(map.begin(), map.end()); });
  }

  size_t count() const {
    return this->syncRead([](const Map& map) { return map.size(); });
  }

  bool isEmpty() const {
    return this->syncRead([](const Map& map) { return map.empty(); });
  }

  // The first pair, in the hash map's order, for which `predicate` holds; absent when none does.
  template <class Predicate>
  std::optional<Element> first(Predicate&& predicate) const {
    return this->syncRead([&](const Map& map) -> std::optional<Element> {
      for (const auto& entry : map) {
        if (predicate(std::as_const(entry))) return Element(entry);
      }
      return std::nullopt;
    });
  }
};

}  // namespace Bexlan
