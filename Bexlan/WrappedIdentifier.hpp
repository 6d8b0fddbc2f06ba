#pragma once

#include <optional>
#include <string>
#include <utility>

#include "Bexlan/Identifier.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// An alias entry: registered under its own key, it stands for the entry under `wrappedIdentifier`. The
// store resolves it (one hop) before reading a text or number; the alias has neither of its own.
class WrappedIdentifier final : public Identifier {
 public:
  WrappedIdentifier(std::string identifier, std::string name, std::string wrappedIdentifier,
                    Icon icon = nullptr);

  const std::string& identifier() const override { return identifier_; }
  void setIdentifier(std::string identifier) { identifier_ = std::move(identifier); }
  const std::string& name() const override { return name_; }
  void setName(std::string name) { name_ = std::move(name); }
  const std::string& wrappedIdentifier() const { return wrappedIdentifier_; }
  void setWrappedIdentifier(std::string key) { wrappedIdentifier_ = std::move(key); }
  const Icon& icon() const override { return icon_; }
  void setIcon(Icon icon) { icon_ = std::move(icon); }

  // Asking an alias for its own text or number is a programming error: both stop the process with a
  // fatal error. Read aliases through the store, which resolves them.
  [[noreturn]] std::string description() const override;
  [[noreturn]] std::optional<platform::Number> value() const override;

 private:
  std::string wrappedIdentifier_;
  std::string identifier_;
  std::string name_;
  Icon icon_;
};

}  // namespace Bexlan
