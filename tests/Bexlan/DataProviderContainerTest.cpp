#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>
#include <tuple>

#include "Bexlan/DataProviderContainer.hpp"
#include "Bexlan/StoreBackedProvider.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Foundation/Clock.hpp"

namespace Bexlan {
namespace {

// A provider with one text entry under its own key. Each refresh logs itself, keeps the elapsed time, runs
// the test's hook and writes the refresh count into its entry, as text and as raw number. It records the
// sizes its own histories were given.
class TestProvider final : public StoreBackedProvider<IDataProvider> {
 public:
  TestProvider(std::string key, std::vector<std::string>& log, std::int64_t historySize = 60)
      : StoreBackedProvider(historySize), key_(std::move(key)), log_(log) {
    registerIdentifiers();
  }

  void registerIdentifiers() override { store()->add(std::make_shared<StringIdentifier>(key_, key_, "")); }
  void refresh(double interval) override {
    elapsed.push_back(interval);
    log_.push_back("refresh " + key_);
    if (onRefresh) onRefresh();
    const auto count = std::int64_t(elapsed.size());
    store()->setStringWithRaw(key_, key_ + " #" + std::to_string(count), platform::Number::of(count));
  }

  std::vector<double> elapsed;
  std::vector<std::int64_t> resized;
  std::function<void()> onRefresh;

 private:
  void resizeHistories(std::int64_t size) override { resized.push_back(size); }
  std::string key_;
  std::vector<std::string>& log_;
};

struct TestDelegate final : DataProviderContainerDelegate {
  explicit TestDelegate(std::function<void(double)> hook) : onRefresh(std::move(hook)) {}
  void containerDidRefresh(double elapsed) override { onRefresh(elapsed); }
  std::function<void(double)> onRefresh;
};

class DataProviderContainerTest : public ::testing::Test {
 protected:
  std::shared_ptr<DataProviderContainer> make(std::optional<double> interval) {
    return containers_.emplace_back(DataProviderContainer::create(interval));
  }
  auto provider(const std::string& key) { return std::make_shared<TestProvider>(key, log_); }
  std::shared_ptr<TestDelegate> delegate() {
    return std::make_shared<TestDelegate>([this](double elapsed) {
      log_.push_back("delegate");
      delegateElapsed_.push_back(elapsed);
    });
  }
  static bool pumpUntil(const std::function<bool()>& done) {
    return platform::RunLoop::main().runUntil(done, std::chrono::seconds(5));
  }
  // Timers left on the main run loop would tick during later tests.
  void TearDown() override {
    for (const auto& container : containers_) container->stop();
  }

  std::vector<std::string> log_;
  std::vector<double> delegateElapsed_;
  std::vector<std::shared_ptr<DataProviderContainer>> containers_;
};

TEST_F(DataProviderContainerTest, ATickRefreshesAndMergesEachProviderThenTellsTheDelegateUntilStopped) {
  const auto container = make(0.02);
  const auto first = provider("A"), second = provider("B");
  for (const auto& p : {first, second}) container->add(p);
  const auto listener = delegate();
  container->setDelegate(listener);
  std::vector<bool> seenBySecond;
  second->onRefresh = [&] {
    seenBySecond = {container->store()->contains("A"), container->store()->contains("B")};
  };
  ASSERT_TRUE(pumpUntil([&] { return !delegateElapsed_.empty(); }));

  EXPECT_EQ(log_, (std::vector<std::string>{"refresh A", "refresh B", "delegate"}));
  EXPECT_EQ(seenBySecond, (std::vector<bool>{true, false}));  // A merged before B refreshed
  EXPECT_EQ(container->string("B"), "B #1");
  EXPECT_EQ(container->store()->identifier("A"), first->store()->identifier("A"));
  EXPECT_EQ(std::tuple(first->elapsed, second->elapsed), std::tuple(delegateElapsed_, delegateElapsed_));

  // Stop empties the provider stores and keeps what was merged; started again, it ticks with no providers.
  const auto timer = container->timer();
  container->stop();
  EXPECT_EQ(std::tuple(timer->isValid(), container->timer(), container->providers().size()),
            std::tuple(false, nullptr, 0u));
  EXPECT_EQ(first->store()->data().count() + second->store()->data().count(), 0u);
  EXPECT_EQ(container->string("A"), "A #1");
  container->start();
  ASSERT_TRUE(pumpUntil([&] { return delegateElapsed_.size() == 3; }));
  EXPECT_EQ(first->elapsed.size(), 1u);
}

// Elapsed runs from the end of the previous refresh (provider and delegate included), on the monotonic clock.
TEST_F(DataProviderContainerTest, ElapsedIsMeasuredOnTheMonotonicClockFromTheEndOfThePreviousRefresh) {
  platform::Clock::Override clock(1000, 50);
  const auto container = make(std::nullopt);
  const auto p = provider("P");
  p->onRefresh = [&] { clock.advance(0.2); };
  container->add(p);
  const auto slowListener = std::make_shared<TestDelegate>([&](double) { clock.advance(0.1); });
  container->setDelegate(slowListener);
  container->refresh();
  EXPECT_EQ(p->elapsed.back(), 0.0);
  EXPECT_DOUBLE_EQ(container->lastRefresh(), 1000.3);  // taken after the provider and the delegate

  // The 0.3 s spent in the last refresh do not count; a wall clock set back by an hour changes lastRefresh,
  // not the elapsed time.
  p->onRefresh = nullptr;
  container->setDelegate({});
  clock.advance(0.7);
  platform::Clock::Override steppedBack(1001 - 3600, 51);
  container->refresh();
  EXPECT_NEAR(p->elapsed.back(), 0.7, 1e-9);
  EXPECT_EQ(container->lastRefresh(), 1001 - 3600);

  // Setting the interval takes the time anew; start on a running timer does not.
  steppedBack.advance(5);
  container->setInterval(60);
  steppedBack.advance(2);
  const auto timer = container->timer();
  container->start();
  EXPECT_EQ(container->timer(), timer);
  container->refresh();
  EXPECT_NEAR(p->elapsed.back(), 2.0, 1e-9);
}

TEST_F(DataProviderContainerTest, ChangingTheIntervalReplacesTheTimer) {
  const auto container = make(60);
  const auto listener = delegate();
  container->setDelegate(listener);
  const auto slowTimer = container->timer();
  container->setInterval(0.02);
  EXPECT_EQ(std::tuple(slowTimer->isValid(), container->interval()), std::tuple(false, 0.02));
  const auto timer = container->timer();
  container->setInterval(0.02);  // the same value still makes a new timer
  EXPECT_NE(container->timer(), timer);
  ASSERT_TRUE(pumpUntil([&] { return delegateElapsed_.size() == 3; }));

  container->setInterval(std::nullopt);
  EXPECT_EQ(container->timer(), nullptr);
  container->start();  // no interval, no timer
  EXPECT_EQ(container->timer(), nullptr);
  platform::RunLoop::main().runFor(std::chrono::milliseconds(100));
  container->refresh();  // still refreshes when asked
  EXPECT_EQ(delegateElapsed_.size(), 4u);

  for (double bad : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
    EXPECT_THROW(container->setInterval(bad), std::invalid_argument) << bad;
    EXPECT_THROW(DataProviderContainer::create(bad), std::invalid_argument) << bad;
  }
}

TEST_F(DataProviderContainerTest, AReleasedDelegateIsSkippedAndTheTimerKeepsTheContainerAlive) {
  std::weak_ptr<DataProviderContainer> weak;
  const auto p = provider("P");
  auto listener = delegate();
  {
    const auto container = DataProviderContainer::create(0.02);
    weak = container;
    container->add(p);
    container->setDelegate(listener);
  }
  listener.reset();
  ASSERT_TRUE(pumpUntil([&] { return p->elapsed.size() == 2; }));
  EXPECT_TRUE(delegateElapsed_.empty());
  ASSERT_FALSE(weak.expired());
  EXPECT_EQ(weak.lock()->delegate(), nullptr);
  weak.lock()->stop();
  EXPECT_TRUE(weak.expired());
}

TEST_F(DataProviderContainerTest, ProvidersRefreshInOrderAreRemovedByIdentityAndTheLaterWinsASharedKey) {
  const auto container = make(std::nullopt);
  const auto a = provider("A"), b = provider("B"), twin = provider("A");
  for (const auto& p : {a, b, b, twin}) container->add(p);
  container->refresh();
  EXPECT_EQ(log_, (std::vector<std::string>{"refresh A", "refresh B", "refresh B", "refresh A"}));
  EXPECT_EQ(container->store()->identifier("A"), twin->store()->identifier("A"));
  EXPECT_NE(container->store()->identifier("A"), a->store()->identifier("A"));

  container->remove(b);
  container->remove(provider("A"));  // an equal provider that was never added
  EXPECT_EQ(container->providers(), (DataProviderContainer::ProviderList{a, twin}));
  EXPECT_THROW(container->add(nullptr), std::invalid_argument);

  // The history size reaches the providers in the list now, not the container's store or later ones.
  container->setHistorySize(30);
  EXPECT_EQ((std::vector{a->historySize(), twin->historySize(), b->historySize(),
                         container->store()->historySize()}),
            (std::vector<std::int64_t>{30, 30, 60, 60}));
  const auto late = provider("D");
  container->add(late);
  EXPECT_EQ(late->historySize(), 60);
  EXPECT_THROW(container->setHistorySize(-1), std::invalid_argument);
}

using StoreBackedProviderTest = DataProviderContainerTest;

TEST_F(StoreBackedProviderTest, ARefusedStoreOrSizeChangesNothingAndAnAcceptedOneTakesLaterWrites) {
  TestProvider p("P", log_, 30);
  const auto old = p.store();
  EXPECT_THROW(p.setStore(nullptr), std::invalid_argument);
  EXPECT_THROW(p.setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(std::tuple(p.store(), p.historySize(), old->historySize(), p.resized),
            std::tuple(old, 30, DataStore::defaultHistorySize, std::vector<std::int64_t>{}));

  p.setHistorySize(7);
  EXPECT_EQ(std::tuple(p.historySize(), p.resized, old->historySize()),
            std::tuple(7, std::vector<std::int64_t>{7}, 7));

  p.setStore(std::make_shared<DataStore>());
  p.registerIdentifiers();
  p.refresh(1.0);
  ASSERT_TRUE(p.value("P").has_value());
  EXPECT_EQ(p.value("P")->longLongValue(), 1);
  EXPECT_FALSE(old->value("P").has_value());
}

}  // namespace
}  // namespace Bexlan
