#include "Bexlan/MulticastDelegate.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

struct Listener {
  std::string name;
};
using Delegates = Bexlan::MulticastDelegate<Listener>;

std::shared_ptr<Listener> listener(const std::string& name) {
  return std::make_shared<Listener>(Listener{name});
}

// The names of the delegates one invoke reaches, in the order it reaches them.
std::vector<std::string> called(Delegates& delegates) {
  std::vector<std::string> names;
  delegates.invoke([&](Listener& delegate) { names.push_back(delegate.name); });
  return names;
}

TEST(MulticastDelegateTest, CallsEachDelegateOnceFromTheLastAddedToTheFirst) {
  Delegates delegates;
  const auto a = listener("a"), b = listener("b"), c = listener("c");
  delegates.add(a);
  delegates.add(b);
  delegates.add(c);
  delegates.add(a);  // already there: neither a second call nor a new place
  delegates.add(nullptr);
  EXPECT_THAT(called(delegates), ElementsAre("c", "b", "a"));
}

TEST(MulticastDelegateTest, RemovesByIdentityAndForgetsReleasedDelegates) {
  Delegates delegates;
  const auto a = listener("a"), twin = listener("a");
  auto released = listener("released");
  delegates.add(a);
  delegates.add(twin);
  delegates.add(released);
  released.reset();
  delegates.remove(listener("stranger"));
  EXPECT_THAT(called(delegates), ElementsAre("a", "a"));
  delegates.remove(a);
  std::vector<Listener*> reached;
  delegates.invoke([&](Listener& delegate) { reached.push_back(&delegate); });
  EXPECT_THAT(reached, ElementsAre(twin.get()));
}

TEST(MulticastDelegateTest, ChangesMadeDuringAnInvokeTakeEffectAtTheNextOne) {
  Delegates delegates;
  auto first = listener("first");
  const auto second = listener("second"), late = listener("late");
  delegates.add(first);
  delegates.add(second);
  std::vector<std::string> names;
  delegates.invoke([&](Listener& delegate) {
    names.push_back(delegate.name);
    if (&delegate != second.get()) return;
    delegates.remove(second);
    delegates.add(late);
    first.reset();  // the walk keeps it alive until it has been called
  });
  EXPECT_THAT(names, ElementsAre("second", "first"));
  EXPECT_THAT(called(delegates), ElementsAre("late"));
}

}  // namespace
