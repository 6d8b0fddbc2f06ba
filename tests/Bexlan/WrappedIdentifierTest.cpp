#include "Bexlan/WrappedIdentifier.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/Bexlan/TestIcon.hpp"

namespace Bexlan {
namespace {

TEST(WrappedIdentifierTest, HoldsItsOwnKeyAndTheKeyItStandsFor) {
  WrappedIdentifier alias("A", "Alias", "B");
  EXPECT_EQ(alias.identifier() + alias.name() + alias.wrappedIdentifier(), "AAliasB");
  EXPECT_EQ(alias.icon(), nullptr);
  alias.setWrappedIdentifier("D");
  alias.setIcon(testing::testIcon());
  EXPECT_EQ(alias.wrappedIdentifier(), "D");
  EXPECT_EQ(alias.icon(), testing::testIcon());
}

TEST(WrappedIdentifierDeathTest, AskingTheAliasForItsTextOrNumberIsFatal) {
  std::shared_ptr<const Identifier> alias = std::make_shared<WrappedIdentifier>("A", "Alias", "B");
  const std::string where = "WrappedIdentifier\\.cpp:[0-9]+: Fatal error: ";
  EXPECT_DEATH(alias->description(), where + "Use IDataStore to get string of wrapped identifier\\.");
  EXPECT_DEATH(alias->value(), where + "Use IDataStore to get value of wrapped identifier\\.");
}

}  // namespace
}  // namespace Bexlan
