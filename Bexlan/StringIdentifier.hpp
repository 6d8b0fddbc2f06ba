#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Bexlan/HistoryProvider.hpp"
#include "Bexlan/Identifier.hpp"
#include "Bexlan/SampleHistory.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The text entry of a data store: a ready-made display text (absent shows as "-") with an optional raw
// number behind it, and a history (60 zeros at first), minimum and maximum of the raw numbers recorded.
//
// A text entry has no guard: write and read it from one thread.
class StringIdentifier final : public Identifier,
                               public HistoryProvider,
                               public MinValueProvider,
                               public MaxValueProvider {
 public:
  static constexpr std::int64_t defaultHistorySize = 60;

  // A text entry without raw number.
  StringIdentifier(std::string identifier, std::string name, std::optional<std::string> text,
                   Icon icon = nullptr);
  // A text entry without icon whose raw number, when present, is recorded as by setStringWithRaw.
  StringIdentifier(std::string identifier, std::string name, std::optional<std::string> text,
                   std::optional<platform::Number> rawValue);

  StringIdentifier(const StringIdentifier&) = delete;
  StringIdentifier& operator=(const StringIdentifier&) = delete;

  const std::optional<std::string>& mString() const { return mString_; }
  const std::optional<platform::Number>& mRawValue() const { return mRawValue_; }

  // Replaces the text only: the raw number, history, minimum and maximum stay.
  void setString(std::optional<std::string> text);
  // Stores the text and the raw number, shifts the raw number into the history as a double (the oldest
  // sample leaves) and updates the minimum and maximum with it.
  void setStringWithRaw(std::optional<std::string> text, platform::Number rawValue);

  const std::string& identifier() const override { return identifier_; }
  const std::string& name() const override { return name_; }
  const Icon& icon() const override { return icon_; }
  // The raw number.
  std::optional<platform::Number> value() const override { return mRawValue_; }
  // The text, or "-" when it is absent.
  std::string description() const override;

  std::int64_t historySize() const override { return historySize_; }
  void setHistorySize(std::int64_t size) override;
  std::vector<platform::Number> history() const override { return history_.samples(); }
  // Puts `samples` in place of the history, whatever their count; historySize stays.
  void setHistory(std::vector<platform::Number> samples) { history_.assign(std::move(samples)); }

  std::optional<platform::Number> min() const override { return min_; }
  std::optional<platform::Number> max() const override { return max_; }
  // Make `sample` the minimum or maximum when there is none yet or it goes beyond it; NaN never does.
  void updateMin(double sample) { recordMinimum(min_, sample); }
  void updateMax(double sample) { recordMaximum(max_, sample); }

 private:
  void record(platform::Number rawValue);

  std::optional<std::string> mString_;
  std::optional<platform::Number> mRawValue_;
  std::string identifier_;
  std::string name_;
  std::int64_t historySize_ = defaultHistorySize;
  SampleHistory history_{defaultHistorySize};
  Icon icon_;
  std::optional<platform::Number> max_;
  std::optional<platform::Number> min_;
};

}  // namespace Bexlan
