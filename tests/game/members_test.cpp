#include "game/members/members.h"

#include <gtest/gtest.h>

#include "framework/host/address_table.h"
#include "host/symbol_names.h"
#include "tests/support/test_world.h"

namespace {

// Every symbolic name the plugin may resolve is registered by an installed game, so no lookup
// of the plugin ever ends in null.
TEST(Members, EveryNameThePluginUsesIsRegistered) {
  support::TestWorld world("{}");
  ASSERT_EQ(orvane::AllSymbolNames().size(), 111u);
  for (std::string_view name : orvane::AllSymbolNames())
    EXPECT_TRUE(framework::IsRegistered(name)) << name;
  EXPECT_EQ(world.host().log().Count("unknown symbol"), 0);
}

}  // namespace
