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

// The cheats change what the plugin reads back: names in every tribe record, ranks only inside
// a tribe, renames by the low 32 bits of the player id.
TEST(Members, CheatsChangeWhatThePluginReadsBack) {
  support::TestWorld world(R"({
    "tribes": [{"id": 1000001, "name": "Owls"}],
    "players": [{"eos_id": "a", "team": 1000001, "player_id": 4294967297},
                {"eos_id": "b", "player_id": 5}]
  })");
  auto* a = HostApi::GetApiUtils().FindPlayerByEosId(FString("a"));
  auto* b = HostApi::GetApiUtils().FindPlayerByEosId(FString("b"));
  auto* server = HostApi::GetApiUtils().CurrentCheatManager();
  auto cheats_of = [](AShooterPlayerController* pc) {
    return static_cast<UShooterCheatManager*>(FieldOf(pc, sym::APlayerController::CheatManager));
  };

  FString tribe_name(u" New Owls");
  CallGame(sym::UShooterCheatManager::RenameTribeID, server, 1000001, tribe_name);
  auto* state = reinterpret_cast<AShooterPlayerState*>(FieldOf(a, sym::AController::PlayerState));
  EXPECT_EQ(
      FieldOf(&FieldOf(state, sym::AShooterPlayerState::MyTribeData), sym::FTribeData::TribeName)
          .View(),
      u" New Owls");

  FString player_name(u"Zed");
  CallGame(sym::UShooterCheatManager::RenamePlayerId, server, 1, player_name);
  FString read;
  CallGame(sym::AShooterPlayerController::GetPlayerCharacterName, a, &read);
  EXPECT_EQ(read.View(), u"Zed") << "4294967297 has the low 32 bits 1";

  CallGame(sym::UShooterCheatManager::MakeTribeFounder, cheats_of(a));
  CallGame(sym::UShooterCheatManager::MakeTribeAdmin, cheats_of(a));
  CallGame(sym::UShooterCheatManager::MakeTribeFounder, cheats_of(b));
  FString engram(u"Blueprint'/Game/Engrams/Pike'");
  CallGame(sym::UShooterCheatManager::UnlockEngram, cheats_of(b), engram);
  CallGame(sym::UShooterCheatManager::UnlockEngram, cheats_of(b), engram);
  ::FName boss;
  CallGame(sym::FName::Construct, &boss, "King Titan", FNAME_Find);
  CallGame(sym::UShooterCheatManager::DefeatBoss, cheats_of(a), 5, boss, char{2});

  const json state_json = world.State();
  EXPECT_EQ(state_json["tribes"][0]["name"], " New Owls");
  EXPECT_EQ(state_json["players"][0]["tribe_rank"], "founder") << "a founder stays founder";
  EXPECT_EQ(state_json["players"][1]["tribe_rank"], "member") << "no tribe, no rank";
  EXPECT_EQ(state_json["players"][1]["engrams"].size(), 1u);
  EXPECT_EQ(state_json["players"][1]["bosses"],
            json::parse(R"([{"boss": "King Titan", "difficulty": 2}])"))
      << "recorded for the player with that id";
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
