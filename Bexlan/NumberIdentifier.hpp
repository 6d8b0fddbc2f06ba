#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Bexlan/HistoryProvider.hpp"
#include "Bexlan/IValueProvider.hpp"
#include "Bexlan/Identifier.hpp"
#include "Bexlan/IdentifierCategory.hpp"
#include "Bexlan/SampleHistory.hpp"
#include "Bexlan/Value.hpp"
#include "Platform/Dispatch/DispatchSemaphore.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The number entry of a data store: one sampled quantity with its current number and display rules, a
// history of recent samples (60 zeros at first), and the smallest and largest number ever set.
//
// Setting a number stores it with its own type, shifts it into the history as a double (the oldest
// sample leaves) and updates the minimum and maximum; neither allocates. Setting an absent number makes
// the current number absent and removes the oldest sample without appending one, so the history stays one
// sample shorter until a new history size restarts it.
//
// The history is guarded: its changes and copies may run on several threads at once. The current number,
// minimum and maximum are not: write and read them from one thread.
class NumberIdentifier final : public Identifier,
                               public IValueProvider,
                               public HistoryProvider,
                               public MinValueProvider,
                               public MaxValueProvider {
 public:
  static constexpr std::int64_t defaultHistorySize = 60;

  // The shorter forms default the name to the identifier, the category to raw, signedness to signed and
  // the fraction digits to none (integers). Signedness takes exactly a bool, so an integer argument is
  // always the fraction digits. Throws std::out_of_range when fraction digits are given and not 0 to 999.
  explicit NumberIdentifier(std::string identifier, Icon icon = nullptr)
      : NumberIdentifier(identifier, identifier, IdentifierCategory::raw, true, std::nullopt,
                         std::move(icon)) {}
  NumberIdentifier(std::string identifier, std::string name, Icon icon = nullptr)
      : NumberIdentifier(std::move(identifier), std::move(name), IdentifierCategory::raw, true, std::nullopt,
                         std::move(icon)) {}
  NumberIdentifier(std::string identifier, std::string name, IdentifierCategory category, Icon icon = nullptr)
      : NumberIdentifier(std::move(identifier), std::move(name), category, true, std::nullopt,
                         std::move(icon)) {}
  NumberIdentifier(std::string identifier, std::string name, IdentifierCategory category,
                   std::same_as<bool> auto isSigned, Icon icon = nullptr)
      : NumberIdentifier(std::move(identifier), std::move(name), category, isSigned, std::nullopt,
                         std::move(icon)) {}
  NumberIdentifier(std::string identifier, std::string name, std::int64_t decimals, Icon icon = nullptr)
      : NumberIdentifier(std::move(identifier), std::move(name), IdentifierCategory::raw, true, decimals,
                         std::move(icon)) {}
  NumberIdentifier(std::string identifier, std::string name, IdentifierCategory category,
                   std::int64_t decimals, Icon icon = nullptr)
      : NumberIdentifier(std::move(identifier), std::move(name), category, true, decimals, std::move(icon)) {}
  // The full form, which the monitors use.
  NumberIdentifier(std::string identifier, std::string name, IdentifierCategory category,
                   std::same_as<bool> auto isSigned, std::optional<std::int64_t> decimals,
                   Icon icon = nullptr)
      : NumberIdentifier(std::move(identifier), std::move(name), Value(category, isSigned, decimals),
                         std::move(icon)) {}

  NumberIdentifier(const NumberIdentifier&) = delete;
  NumberIdentifier& operator=(const NumberIdentifier&) = delete;

  // The current number and its display rules.
  const Value& mValue() const { return mValue_; }

  const std::string& identifier() const override { return identifier_; }
  const std::string& name() const override { return name_; }
  const Icon& icon() const override { return icon_; }
  std::optional<platform::Number> value() const override { return mValue_.rawValue(); }
  std::optional<platform::Number> rawValue() const override { return mValue_.rawValue(); }
  // The display text of mValue: by category the plain text, the byte size or the percent text; "-" when
  // the number is absent.
  std::string description() const override { return mValue_.description(); }

  void setNumber(std::optional<platform::Number> number) override;

  std::int64_t historySize() const override { return historySize_; }
  void setHistorySize(std::int64_t size) override;
  std::vector<platform::Number> history() const override;
  // Puts `samples` in place of the history, whatever their count; historySize stays.
  void setHistory(std::vector<platform::Number> samples);
  // Removes the oldest sample when there is one, then appends `sample` when one is given.
  void addToHistory(std::optional<double> sample);

  std::optional<platform::Number> min() const override { return min_; }
  std::optional<platform::Number> max() const override { return max_; }
  // Make `sample` the minimum or maximum when there is none yet or it goes beyond it; NaN never does.
  void updateMin(double sample) { recordMinimum(min_, sample); }
  void updateMax(double sample) { recordMaximum(max_, sample); }

 private:
  class HistoryLock;

  NumberIdentifier(std::string identifier, std::string name, Value value, Icon icon);

  mutable platform::DispatchSemaphore historyLock_{1};
  Value mValue_;
  std::string identifier_;
  std::string name_;
  Icon icon_;
  std::int64_t historySize_ = defaultHistorySize;
  SampleHistory history_{defaultHistorySize};
  std::optional<platform::Number> max_;
  std::optional<platform::Number> min_;
};

}  // namespace Bexlan
