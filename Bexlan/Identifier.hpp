#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Platform/Foundation/Number.hpp"

namespace platform {
class Image;
}  // namespace platform

namespace Bexlan {

// The symbol shown beside an entry; null when it has none.
using Icon = std::shared_ptr<const platform::Image>;

// An entry of a data store: number, text and alias entries alike. Entries are shared by reference
// (std::shared_ptr): the same entry can stand in several stores at once.
class Identifier {
 public:
  virtual ~Identifier() = default;

  // The display text.
  virtual std::string description() const = 0;
  // The key under which the entry is stored.
  virtual const std::string& identifier() const = 0;
  virtual const std::string& name() const = 0;
  // The entry's number, absent when it has none.
  virtual std::optional<platform::Number> value() const = 0;
  virtual const Icon& icon() const = 0;
};

}  // namespace Bexlan
