#include "Bexlan/WrappedIdentifier.hpp"

#include <gtest/gtest.h>

#include <memory>

#include "tests/Bexlan/TestIcon.hpp"

namespace Bexlan {
namespace {

using testing::testIcon;

TEST(WrappedIdentifierTest, HoldsItsOwnKeyAndTheKeyItStandsFor) {
  WrappedIdentifier alias("A", "Alias", "B");
  EXPECT_EQ(alias.identifier(), "A");
  EXPECT_EQ(alias.name(), "Alias");
  EXPECT_EQ(alias.wrappedIdentifier(), "B");
  EXPECT_EQ(alias.icon(), nullptr);

  alias.setIdentifier("C");
  alias.setName("Other");
  alias.setWrappedIdentifier("D");
  alias.setIcon(testIcon());
  const Identifier& entry = alias;
  EXPECT_EQ(entry.identifier(), "C");
  EXPECT_EQ(entry.name(), "Other");
  EXPECT_EQ(alias.wrappedIdentifier(), "D");
  EXPECT_EQ(entry.icon(), testIcon());
}

TEST(WrappedIdentifierDeathTest, AskingTheAliasForItsTextOrNumberIsFatal) {
  std::shared_ptr<const Identifier> alias = std::make_shared<WrappedIdentifier>("A", "Alias", "B", testIcon());
  EXPECT_DEATH(alias->description(),
               "WrappedIdentifier\\.cpp:[0-9]+: Fatal error: Use IDataStore to get string of wrapped identifier\\.");
  EXPECT_DEATH(alias->value(),
               "WrappedIdentifier\\.cpp:[0-9]+: Fatal error: Use IDataStore to get value of wrapped identifier\\.");
}

}  // namespace
}  // namespace Bexlan
