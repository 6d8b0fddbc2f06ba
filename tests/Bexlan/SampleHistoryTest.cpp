#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <random>
#include <vector>

#include "Bexlan/SampleHistory.hpp"

namespace Bexlan {
namespace {

// Drives the ring and a double-ended queue with the same random operations, so every wrap-around, restart
// and replacement is checked against the plain statement of the history rules.
TEST(SampleHistoryTest, BehavesLikeAQueueThatDropsTheOldestSample) {
  std::mt19937 random(20240611);
  SampleHistory history(5);
  std::deque<double> model(5, 0.0);
  for (int step = 0; step < 20000; ++step) {
    const auto choice = random() % 100;
    if (choice < 90) {
      const bool present = choice < 70;
      history.shift(present ? std::optional<double>(step) : std::nullopt);
      if (!model.empty()) model.pop_front();
      if (present) model.push_back(step);
    } else if (choice < 97) {
      const std::size_t length = random() % 7;
      history.restart(length);
      model.assign(length, 0.0);
    } else {
      model.assign(random() % 4, -1.0);
      history.assign(std::vector<platform::Number>(model.size(), platform::Number::of(-1.0)));
    }
    std::vector<double> samples;
    for (const auto& sample : history.samples()) samples.push_back(sample.doubleValue());
    ASSERT_EQ(samples, std::vector<double>(model.begin(), model.end())) << "step " << step;
    ASSERT_EQ(history.count(), model.size());
  }
}

}  // namespace
}  // namespace Bexlan
