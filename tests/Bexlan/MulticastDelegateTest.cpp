#include "Bexlan/MulticastDelegate.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Bexlan::MulticastDelegate;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class Listener {
 public:
  virtual ~Listener() = default;
  virtual std::string name() const = 0;
};

class NamedListener : public Listener {
 public:
  explicit NamedListener(std::string name) : name_(std::move(name)) {}
  std::string name() const override { return name_; }

 private:
  std::string name_;
};

std::shared_ptr<Listener> listener(const std::string& name) { return std::make_shared<NamedListener>(name); }

// The names of the delegates one invoke reaches, in the order it reaches them.
std::vector<std::string> called(MulticastDelegate<Listener>& delegates) {
  std::vector<std::string> names;
  delegates.invoke([&](Listener& delegate) { names.push_back(delegate.name()); });
  return names;
}

TEST(MulticastDelegateTest, CallsEachDelegateOnceFromTheLastAddedToTheFirst) {
  MulticastDelegate<Listener> delegates;
  EXPECT_THAT(called(delegates), IsEmpty());
  const auto a = listener("a");
  const auto b = listener("b");
  const auto c = listener("c");
  delegates.add(a);
  delegates.add(b);
  delegates.add(c);
  delegates.add(a);  // already there: neither a second call nor a new place
  delegates.add(nullptr);
  EXPECT_THAT(called(delegates), ElementsAre("c", "b", "a"));
}

TEST(MulticastDelegateTest, RemoveTakesOutTheSameObjectOnly) {
  MulticastDelegate<Listener> delegates;
  const auto a = listener("a");
  const auto twin = listener("a");  // equal in every way but identity
  delegates.add(a);
  delegates.add(twin);
  delegates.remove(listener("stranger"));
  delegates.remove(nullptr);
  EXPECT_THAT(called(delegates), ElementsAre("a", "a"));
  delegates.remove(a);
  std::vector<Listener*> reached;
  delegates.invoke([&](Listener& delegate) { reached.push_back(&delegate); });
  EXPECT_THAT(reached, ElementsAre(twin.get()));
  delegates.remove(a);
  delegates.add(a);
  EXPECT_THAT(called(delegates), ElementsAre("a", "a"));
}

TEST(MulticastDelegateTest, HoldsDelegatesWeakly) {
  MulticastDelegate<Listener> delegates;
  auto gone = listener("gone");
  const auto kept = listener("kept");
  delegates.add(gone);
  delegates.add(kept);
  std::weak_ptr<Listener> watch = gone;
  gone.reset();
  EXPECT_TRUE(watch.expired());
  EXPECT_THAT(called(delegates), ElementsAre("kept"));

  MulticastDelegate<Listener> lone;
  auto only = listener("only");
  lone.add(only);
  only.reset();
  EXPECT_THAT(called(lone), IsEmpty());
}

TEST(MulticastDelegateTest, ChangesMadeDuringAnInvokeTakeEffectAtTheNextOne) {
  MulticastDelegate<Listener> delegates;
  auto first = listener("first");
  const auto second = listener("second");
  const auto late = listener("late");
  delegates.add(first);
  delegates.add(second);
  std::vector<std::string> names;
  delegates.invoke([&](Listener& delegate) {
    names.push_back(delegate.name());
    if (delegate.name() == "second") {
      delegates.remove(second);
      delegates.add(late);
      first.reset();  // the walk keeps it alive until it has been called
    }
  });
  EXPECT_THAT(names, ElementsAre("second", "first"));
  EXPECT_THAT(called(delegates), ElementsAre("late"));
}

}  // namespace
