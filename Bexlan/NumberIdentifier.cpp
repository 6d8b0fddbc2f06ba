#include "Bexlan/NumberIdentifier.hpp"

#include <stdexcept>
#include <utility>

namespace Bexlan {

// Holds the history semaphore for one scope.
class NumberIdentifier::HistoryLock {
 public:
  explicit HistoryLock(platform::DispatchSemaphore& semaphore) : semaphore_(semaphore) { semaphore_.wait(); }
  ~HistoryLock() { semaphore_.signal(); }
  HistoryLock(const HistoryLock&) = delete;
  HistoryLock& operator=(const HistoryLock&) = delete;

 private:
  platform::DispatchSemaphore& semaphore_;
};

NumberIdentifier::NumberIdentifier(std::string identifier, std::string name, Value value, Icon icon)
    : mValue_(std::move(value)),
      identifier_(std::move(identifier)),
      name_(std::move(name)),
      icon_(std::move(icon)) {}

void NumberIdentifier::setNumber(std::optional<platform::Number> number) {
  mValue_.setNumber(number);
  if (!number) {
    addToHistory(std::nullopt);
    return;
  }
  const double sample = number->doubleValue();
  addToHistory(sample);
  updateMin(sample);
  updateMax(sample);
}

void NumberIdentifier::setHistorySize(std::int64_t size) {
  if (size < 0) {
    throw std::invalid_argument("historySize must not be negative, got " + std::to_string(size));
  }
  HistoryLock lock(historyLock_);
  history_.restart(static_cast<std::size_t>(size));
  historySize_ = size;
}

std::vector<platform::Number> NumberIdentifier::history() const {
  HistoryLock lock(historyLock_);
  return history_.samples();
}

void NumberIdentifier::setHistory(std::vector<platform::Number> samples) {
  HistoryLock lock(historyLock_);
  history_.assign(std::move(samples));
}

void NumberIdentifier::addToHistory(std::optional<double> sample) {
  HistoryLock lock(historyLock_);
  history_.shift(sample);
}

}  // namespace Bexlan
