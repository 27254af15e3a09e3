#include "game/members/members.h"

#include <gtest/gtest.h>

#include "framework/host/address_table.h"
#include "host/symbol_names.h"
#include "sdk/api.h"
#include "tests/support/test_world.h"

namespace {

using nlohmann::json;
using support::CallGame;
using support::FieldOf;

// Every symbolic name the plugin may resolve is registered by an installed game, so no lookup
// of the plugin ever ends in null.
TEST(Members, EveryNameThePluginUsesIsRegistered) {
  support::TestWorld world("{}");
  for (std::string_view name : orvane::AllSymbolNames())
    EXPECT_TRUE(framework::IsRegistered(name)) << name;
  EXPECT_EQ(world.host().log().Count("unknown symbol"), 0);
}

// A world without a world, game state, settings or tribe structure: the framework reports no
// world, the queries give null, and the record size is 0.
TEST(Members, MissingPartsOfTheWorldReadAsNull) {
  support::TestWorld world(R"({"world": false, "game_state": null, "world_settings": null,
                               "server_cheat_manager": false, "tribe_data_struct": false,
                               "tribes": [{"id": 1000001}]})");
  EXPECT_EQ(HostApi::GetApiUtils().CurrentWorld(), nullptr);
  EXPECT_EQ(HostApi::GetApiUtils().CurrentCheatManager(), nullptr);
  auto* game_mode = HostApi::GetApiUtils().CurrentGameMode();
  ASSERT_NE(game_mode, nullptr);
  EXPECT_EQ(FieldOf(game_mode, sym::AGameModeBase::GameState), nullptr);
  EXPECT_EQ(CallGame(sym::APrimalDinoCharacter::FindDinoWithID, nullptr, 1u, 1u), nullptr);
  EXPECT_EQ(FieldOf(CallGame(sym::FTribeData::StaticStruct), sym::UStruct::PropertiesSize), 0);
  char block[16] = {};
  EXPECT_FALSE(CallGame(sym::AShooterGameMode::GetOrLoadTribeData, game_mode, 1000001,
                        *reinterpret_cast<FTribeData*>(block)));
  const json state = world.State();
  EXPECT_TRUE(state["game_state"].is_null());
  EXPECT_TRUE(state["world_settings"].is_null());
  EXPECT_EQ(state["world"], false);
}

}  // namespace
