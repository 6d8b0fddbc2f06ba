#include "Bexlan/SampleHistory.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <random>
#include <vector>

namespace Bexlan {
namespace {

using platform::Number;

std::vector<double> doubles(const std::vector<Number>& samples) {
  std::vector<double> result;
  for (const auto& sample : samples) result.push_back(sample.doubleValue());
  return result;
}

// Drives the ring and a plain double-ended queue with the same random operations, so every wrap-around,
// restart and replacement is compared against the obvious implementation of the history rules.
TEST(SampleHistoryTest, BehavesLikeAQueueThatDropsTheOldestSample) {
  std::mt19937 random(20240611);
  SampleHistory history(5);
  std::deque<double> model(5, 0.0);
  for (int step = 0; step < 20000; ++step) {
    const auto choice = random() % 100;
    if (choice < 70) {
      const double sample = static_cast<double>(step);
      history.shift(sample);
      if (!model.empty()) model.pop_front();
      model.push_back(sample);
    } else if (choice < 90) {
      history.shift(std::nullopt);
      if (!model.empty()) model.pop_front();
    } else if (choice < 97) {
      const std::size_t length = random() % 7;
      history.restart(length);
      model.assign(length, 0.0);
    } else {
      std::vector<Number> samples;
      model.clear();
      for (std::size_t i = random() % 4; i > 0; --i) {
        samples.push_back(Number::of(-static_cast<double>(i)));
        model.push_back(-static_cast<double>(i));
      }
      history.assign(samples);
    }
    ASSERT_EQ(history.count(), model.size()) << "step " << step;
    ASSERT_EQ(doubles(history.samples()), std::vector<double>(model.begin(), model.end())) << "step " << step;
  }
}

TEST(SampleHistoryTest, RestartedSamplesAreIntegerZeros) {
  SampleHistory history(2);
  history.shift(1.5);
  history.restart(3);
  const auto samples = history.samples();
  ASSERT_EQ(samples.size(), 3u);
  for (const auto& sample : samples) {
    EXPECT_EQ(sample.typeCode(), 'q');
    EXPECT_EQ(sample.longLongValue(), 0);
  }
}

TEST(SampleHistoryTest, ExtremesMoveOnlyOutwardAndIgnoreNaN) {
  std::optional<Number> minimum;
  std::optional<Number> maximum;
  for (double sample : {std::numeric_limits<double>::quiet_NaN(), 9.0, 4.0, 6.0, -0.0,
                        std::numeric_limits<double>::quiet_NaN()}) {
    recordMinimum(minimum, sample);
    recordMaximum(maximum, sample);
  }
  ASSERT_TRUE(minimum && maximum);
  EXPECT_EQ(minimum->doubleValue(), -0.0);
  EXPECT_EQ(maximum->doubleValue(), 9.0);
  EXPECT_EQ(maximum->typeCode(), 'd');
}

}  // namespace
}  // namespace Bexlan
