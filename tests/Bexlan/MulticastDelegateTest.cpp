#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Bexlan/MulticastDelegate.hpp"

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

TEST(MulticastDelegateTest, CallsEachLiveDelegateOnceFromTheLastAddedAndRemovesByIdentity) {
  Delegates delegates;
  const auto a = listener("a"), b = listener("b"), twin = listener("a");
  auto released = listener("released");
  for (const auto& delegate : {a, b, released, twin, a}) delegates.add(delegate);  // a again: no new place
  delegates.add(nullptr);
  released.reset();
  delegates.remove(listener("stranger"));
  EXPECT_THAT(called(delegates), ElementsAre("a", "b", "a"));
  delegates.remove(a);
  std::vector<Listener*> reached;
  delegates.invoke([&](Listener& delegate) { reached.push_back(&delegate); });
  EXPECT_THAT(reached, ElementsAre(twin.get(), b.get()));
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
