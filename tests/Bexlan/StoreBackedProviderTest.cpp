#include <gtest/gtest.h>

#include <stdexcept>

#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/StoreBackedProvider.hpp"

namespace {

// A provider that records the sizes its own histories were given.
class Provider final : public Bexlan::StoreBackedProvider<Bexlan::IDataProvider> {
 public:
  Provider() : StoreBackedProvider(30) {}
  std::vector<std::int64_t> resized;
  void registerIdentifiers() override {}
  void refresh(double) override {
    store()->add(std::make_shared<Bexlan::NumberIdentifier>("k"));
    store()->setDouble("k", 2.5);
  }

 private:
  void resizeHistories(std::int64_t size) override { resized.push_back(size); }
};

TEST(StoreBackedProviderTest, ARefusedStoreOrSizeChangesNothing) {
  Provider provider;
  const auto store = provider.store();
  EXPECT_THROW(provider.setStore(nullptr), std::invalid_argument);
  EXPECT_THROW(provider.setHistorySize(-1), std::invalid_argument);
  EXPECT_EQ(provider.store(), store);
  EXPECT_EQ(provider.historySize(), 30);
  EXPECT_EQ(store->historySize(), Bexlan::DataStore::defaultHistorySize);
  EXPECT_TRUE(provider.resized.empty());
}

TEST(StoreBackedProviderTest, SizeReachesOwnHistoriesAndStoreAndANewStoreTakesLaterWrites) {
  Provider provider;
  provider.setHistorySize(7);
  EXPECT_EQ(provider.historySize(), 7);
  EXPECT_EQ(provider.resized, std::vector<std::int64_t>{7});
  EXPECT_EQ(provider.store()->historySize(), 7);

  const auto old = provider.store();
  const auto replacement = std::make_shared<Bexlan::DataStore>();
  provider.setStore(replacement);
  provider.refresh(1.0);
  ASSERT_TRUE(provider.value("k").has_value());
  EXPECT_EQ(provider.value("k")->doubleValue(), 2.5);
  EXPECT_FALSE(old->value("k").has_value());
}

}  // namespace
