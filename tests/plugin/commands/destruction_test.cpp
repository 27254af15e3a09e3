// Destruction and kill commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "sdk/api.h"
#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;
using nlohmann::json;

const std::string kForceDestroy(sym::AActor::ForceDestroy.name);
const std::string kActorDestroy(sym::AActor::Destroy.name);
const std::string kDinoDestroy(sym::APrimalDinoCharacter::Destroy.name);
const std::string kSuicide(sym::APrimalCharacter::Suicide.name);
const std::string kKick(sym::AShooterGameMode::KickPlayerController.name);

// Tribes 1000001 and 1000002. Dinos by team: 1:1 and 5:5 wild (0, 49999), 2:2 on the border
// (50000), 3:3 unclaimed, 4:4 and 6:6 tribal. Structures: 0 a wall and 1 a box of 1000001,
// 2 a wall of 1000002, 3 a wild wall, 4 a campfire of 1000002 whose pickup gives a box, 5 a
// wall of 1000002 that consumes nothing and whose pickup gives a box. Actors:
// 0 a trader pawn of 1000001, 1 a crate, 2 a trader pawn of team 0. Cleo has no character.
std::string DestructionWorld(json players = nullptr) {
  json world = json::parse(R"({
  "classes": [{"name": "DungBeetle_Character_BP_C", "kind": "dino"},
              {"name": "Raptor_Character_BP_C", "kind": "dino"},
              {"name": "StoneWall_C", "kind": "structure"},
              {"name": "StorageBox_C", "kind": "structure"},
              {"name": "Campfire_C", "kind": "structure"},
              {"name": "PrimalItemStructure_StoneWall_C", "kind": "item"},
              {"name": "PrimalItemStructure_StorageBox_C", "kind": "item"},
              {"name": "PrimalItemStructure_Campfire_C", "kind": "item"},
              {"name": "Trader_C", "kind": "pawn"}, {"name": "SupplyCrate_C", "kind": "actor"}],
  "tribes": [{"id": 1000001, "name": "Owls"}, {"id": 1000002, "name": "Rocks"}],
  "players": [{"eos_id": "e1", "character_name": "Alice", "team": 1000001, "player_id": 501},
              {"eos_id": "e2", "character_name": "Bob", "team": 1000002, "player_id": 502},
              {"eos_id": "e3", "character_name": "Cleo", "player_id": 503, "character": "none"}],
  "dinos": [{"class": "DungBeetle_Character_BP_C", "id1": 1, "id2": 1, "team": 0},
            {"class": "DungBeetle_Character_BP_C", "id1": 2, "id2": 2, "team": 50000},
            {"class": "DungBeetle_Character_BP_C", "id1": 3, "id2": 3, "team": 2000000000},
            {"class": "Raptor_Character_BP_C", "id1": 4, "id2": 4, "team": 1000001},
            {"class": "DungBeetle_Character_BP_C", "id1": 5, "id2": 5, "team": 49999},
            {"class": "Raptor_Character_BP_C", "id1": 6, "id2": 6, "team": 1000002}],
  "structures": [
    {"class": "StoneWall_C", "team": 1000001, "consumes_item": "PrimalItemStructure_StoneWall_C"},
    {"class": "StorageBox_C", "team": 1000001, "pickup_item": "PrimalItemStructure_StorageBox_C"},
    {"class": "StoneWall_C", "team": 1000002, "consumes_item": "PrimalItemStructure_StoneWall_C"},
    {"class": "StoneWall_C", "team": 7, "consumes_item": "PrimalItemStructure_StoneWall_C"},
    {"class": "Campfire_C", "team": 1000002, "consumes_item": "PrimalItemStructure_Campfire_C",
     "pickup_item": "PrimalItemStructure_StorageBox_C"},
    {"class": "StoneWall_C", "team": 1000002, "pickup_item": "PrimalItemStructure_StorageBox_C"}],
  "actors": [{"class": "Trader_C", "kind": "pawn", "team": 1000001},
             {"class": "SupplyCrate_C", "kind": "actor", "team": 0},
             {"class": "Trader_C", "kind": "pawn", "team": 0}]})");
  if (!players.is_null()) world["players"] = players;
  return world.dump();
}

// Item paths in the class form, as structures are matched by them.
const std::u16string kWallItemPath =
    u"Blueprint'/Game/Emulated/PrimalItemStructure_StoneWall.Default__PrimalItemStructure_"
    u"StoneWall'";
const std::u16string kBoxItemPath =
    u"Blueprint'/Game/Emulated/PrimalItemStructure_StorageBox.Default__PrimalItemStructure_"
    u"StorageBox'";

class Destruction : public support::CommandTest {
 protected:
  Destruction() : CommandTest(DestructionWorld()) {}

  // The objects that received `fn`, in call order.
  Strings Targets(std::string_view fn) {
    Strings targets;
    for (const json& call : world().JournalOf(fn)) targets.push_back(call["self"]);
    return targets;
  }
};

TEST_F(Destruction, ActorAllMatchesClassNamesInAnyCaseAndItemPaths) {
  const Strings no_match = {
      "Couldn't match with any actors. Example: DungBeetle_Character_BP_C or full blueprint path "
      "without double quotes"};
  ExpectReplies({
      {u"DestroyActorAll dungbeetle_character_bp_C", {"Destroyed 4 Actors!"}},
      {u"DestroyActorAll DungBeetle_Character_BP_C", no_match},  // they have left the level
      // A dino by its own path, with "Default__" removed, in other letter case.
      {u"DestroyActorAll BLUEPRINT'/game/emulated/Raptor_Character_BP.Raptor_Character_BP'",
       {"Destroyed 2 Actors!"}},
      {u"DestroyActorAll supplycrate_c", {"Destroyed 1 Actors!"}},
      // A structure by its pickup path only where it consumes nothing; never by its own path.
      {u"DestroyActorAll " + kBoxItemPath, {"Destroyed 2 Actors!"}},
      {u"DestroyActorAll " + kWallItemPath, {"Destroyed 3 Actors!"}},
      {u"DestroyActorAll Blueprint'/Game/Emulated/Campfire.Campfire'", no_match},
  });
  EXPECT_EQ(
      Targets(kForceDestroy),
      (Strings{"dino:1:1", "dino:2:2", "dino:3:3", "dino:5:5", "dino:4:4", "dino:6:6", "actor:1",
               "structure:1", "structure:5", "structure:0", "structure:2", "structure:3"}));
}

TEST_F(Destruction, ActorWildTakesOnlyDinosAndStructuresBelowTeam50000) {
  const Strings no_match = {
      "Couldn't match with any actors. Example: DestroyActorWild DungBeetle_Character_BP_C or "
      "full blueprint path without double quotes."};
  ExpectReplies({
      {u"DestroyActorWild DungBeetle_Character_BP_C", {"Destroyed 2 non-player owned Actors!"}},
      {u"DestroyActorWild stonewall_c", {"Destroyed 1 non-player owned Actors!"}},
      {u"DestroyActorWild SupplyCrate_C", no_match},
      {u"DestroyActorWild Trader_C", no_match},               // pawns are neither
      {u"DestroyActorWild Raptor_Character_BP_C", no_match},  // tribal dinos
  });
  EXPECT_EQ(Targets(kForceDestroy), (Strings{"dino:1:1", "dino:5:5", "structure:3"}));
}

TEST_F(Destruction, TribeIdsBelow1000AreRefusedAndLettersFail) {
  for (const std::u16string command : {u"DestroyTribeAll", u"DestroyTribeDinos",
                                       u"DestroyTribePlayers", u"DestroyTribeStructures"}) {
    ExpectReplies(
        {{command + u" 999", {"Wrong tribe id"}}, {command + u" owls", {"Request has failed"}}});
    EXPECT_EQ(Replies(command + u" 1000").size(), command == u"DestroyTribeAll" ? 2u : 1u);
  }
  ExpectReplies({{u"DestroyTribeStructuresByBP 999 StoneWall_C", {"Wrong tribe id"}},
                 {u"DestroyTribeStructuresByBP 1000 StoneWall_C", {"Destroyed 0 structure(s)!"}}});
  EXPECT_TRUE(world().JournalOf(kForceDestroy).empty());
  EXPECT_TRUE(world().JournalOf(kActorDestroy).empty());
}

TEST_F(Destruction, TribeAllCountsFirstThenDestroysPawnsDinosAndStructures) {
  EXPECT_EQ(Replies(u"DestroyTribeAll 1000001"),
            (Strings{"Destroyed: 2 Structures, 1 Dinos & 3 Players!", "Successfully executed"}));
  Strings destroyed;
  for (const json& call : world().Journal())
    if (call["fn"] != sym::RCONClientConnection::SendMessage.name)
      destroyed.push_back(call["self"]);
  EXPECT_EQ(destroyed,
            (Strings{"character:e1", "dino:4:4", "actor:0", "structure:0", "structure:1"}))
      << "pawns (the dino among them) first, then structures";
  EXPECT_EQ(Targets(kForceDestroy), (Strings{"structure:0", "structure:1"}));
  EXPECT_EQ(world().JournalOf(kActorDestroy)[0]["args"], (json{true, false}));
  EXPECT_EQ(Replies(u"DestroyTribeAll 1000001"),
            (Strings{"Destroyed: 0 Structures, 0 Dinos & 0 Players!", "Successfully executed"}));
}

TEST_F(Destruction, TribeDinosPlayersAndStructures) {
  ExpectReplies({
      {u"DestroyTribeDinos 1000002", {"Successfully destroyed 1 dino(s)!"}},
      {u"DestroyTribeDinos 1000002", {"Successfully executed but couldn't find any dino(s)!"}},
      {u"DestroyTribePlayers 1000002", {"Successfully executed"}},
      {u"DestroyTribeStructures 1000002", {"Destroyed 3 structure(s)!"}},
      {u"DestroyTribeStructures 1000002", {"Destroyed 0 structure(s)!"}},
  });
  ASSERT_EQ(Targets(kDinoDestroy), Strings{"dino:6:6"});
  EXPECT_EQ(world().JournalOf(kDinoDestroy)[0]["args"], (json{true, false}));
  EXPECT_EQ(Targets(kActorDestroy), Strings{"character:e2"});
  EXPECT_EQ(Targets(kForceDestroy), (Strings{"structure:2", "structure:4", "structure:5"}));
}

TEST_F(Destruction, TribeStructuresByBlueprintMatchNamesInAnyCaseButPathsExactly) {
  ExpectReplies({
      {u"DestroyTribeStructuresByBP 1000001 blueprint'/Game/Emulated/"
       u"PrimalItemStructure_StoneWall.Default__PrimalItemStructure_StoneWall'",
       {"Destroyed 0 structure(s)!"}},
      {u"DestroyTribeStructuresByBP 1000001 STONEWALL_c", {"Destroyed 1 structure(s)!"}},
      // A structure's own path, and a pickup path beside a consumed one, are matched here.
      {u"DestroyTribeStructuresByBP 1000001 Blueprint'/Game/Emulated/StorageBox.StorageBox'",
       {"Destroyed 1 structure(s)!"}},
      {u"DestroyTribeStructuresByBP 1000002 " + kBoxItemPath, {"Destroyed 2 structure(s)!"}},
  });
  EXPECT_EQ(Targets(kForceDestroy),
            (Strings{"structure:0", "structure:1", "structure:4", "structure:5"}));
}

TEST_F(Destruction, KickAndKillPlayers) {
  const Strings not_found = {"Can't find player from the given eos id"};
  const Strings none_online = {"Can't find any players online"};
  ExpectReplies({
      {u"KillPlayer nobody", not_found},
      {u"KillPlayer e3", {"Successfully executed the command to kill player"}},  // no character
      {u"KillPlayer e1", {"Successfully executed the command to kill player"}},
      {u"KillAllPlayers", {"Successfully killed 3 players"}},
      {u"KickAllPlayers", {"Successfully kicked 3 players"}},
      // The kicked controllers' entries are stale now.
      {u"KickAllPlayers", none_online},
      {u"KillAllPlayers", none_online},
      {u"KillPlayer e1", not_found},
  });
  EXPECT_EQ(Targets(kSuicide), (Strings{"character:e1", "character:e1", "character:e2"}));
  const auto kicks = world().JournalOf(kKick);
  ASSERT_EQ(kicks.size(), 3u);
  EXPECT_EQ(kicks[0]["self"], "gamemode");
  EXPECT_EQ(kicks[2]["args"], (json{"controller:e3", "You have been kicked by an Admin"}));

  // A stale entry ends the kick with the players before it kicked.
  UseWorld(DestructionWorld(
      {{{"eos_id", "e1"}}, {{"eos_id", "e2"}, {"stale", true}}, {{"eos_id", "e3"}}}));
  EXPECT_EQ(Replies(u"KickAllPlayers"), none_online);
  EXPECT_EQ(Targets(kKick), Strings{"gamemode"});
  UseWorld(DestructionWorld(json::array()));
  ExpectReplies({{u"KickAllPlayers", {"Successfully kicked 0 players"}},
                 {u"KillAllPlayers", {"Successfully killed 0 players"}}});
}

TEST_F(Destruction, KillPlayerIdMatchesOnlyPlayersCharacters) {
  ExpectReplies({
      {u"KillPlayerId 0", {"Succesfully killed player: "}},  // dinos and pawns carry no id
      {u"KillPlayerId 999", {"Succesfully killed player: "}},
      {u"KillPlayerId ninety", {"Request has failed"}},
  });
  EXPECT_TRUE(world().JournalOf(kActorDestroy).empty());

  UseWorld(DestructionWorld({{{"eos_id", "e1"}, {"character_name", "Alice"}, {"player_id", 7}},
                             {{"eos_id", "e2"},
                              {"character_name", "Zo\u00eb"},
                              {"player_id", 8},
                              {"linked_player_data_id", 7}}}));
  EXPECT_EQ(Replies(u"KillPlayerId 7"), Strings{"Succesfully killed player: Zo\u00eb"})
      << "every character with the id goes; the name is the last one's, unnarrowed";
  ASSERT_EQ(Targets(kActorDestroy), (Strings{"character:e1", "character:e2"}));
  EXPECT_EQ(world().JournalOf(kActorDestroy)[0]["args"], (json{true, false}));
}

TEST_F(Destruction, UnclaimedAndWildDinoKills) {
  ExpectReplies({
      {u"KillUnclaimedDinos", {"Killed 1 of unclaimed dinos!"}},
      {u"KillUnclaimedDinos", {"Couldn't find any Unclaimed Dinos to kill!"}},
      {u"KillAllWildDinos", {"Killed 3 of wild dinos!"}},  // team 50000 counts as wild here
      {u"KillAllWildDinos", {"Couldn't find any wild Dinos to kill!"}},
  });
  EXPECT_EQ(Targets(kDinoDestroy), (Strings{"dino:3:3", "dino:1:1", "dino:2:2", "dino:5:5"}));
  EXPECT_EQ(world().State()["dinos"].size(), 2u) << "the tribes' dinos remain";
}

// The timed repeats through the loaded plugin: the framework's clock moved forward, the timer
// ticked. Margins of several seconds keep the real clock's own progress out of the outcome.
class TimedRepeats : public support::CommandTest {
 protected:
  TimedRepeats()
      : CommandTest(nlohmann::json{{"structures",
                                    {{{"class", "StoneWall_C"}, {"team", 1000001}},
                                     {{"class", "StoneWall_C"}, {"team", 1000002}},
                                     {{"class", "StoneWall_C"}, {"team", 1000002}},
                                     {{"class", "StoneWall_C"}, {"team", 1000002}}}}}
                        .dump()) {
    // The level holds nothing but the structures, in file order.
    ULevel* level =
        support::FieldOf(HostApi::GetApiUtils().CurrentWorld(), sym::UWorld::PersistentLevel);
    for (AActor* actor : support::FieldOf(level, sym::ULevel::Actors)) structures_.push_back(actor);
  }

  // Structure `index` of the world file joins tribe 1000001.
  void JoinTribe(int index) {
    support::FieldOf(structures_[index], sym::UPrimalActor::TargetingTeam) = 1000001;
  }
  // Moves the clock on and runs the timers; the structures force-destroyed by then.
  Strings AdvanceAndTick(int seconds) {
    EXPECT_TRUE(framework::AdvanceClock(std::chrono::seconds(seconds)));
    framework::TickTimers();
    Strings targets;
    for (const json& call : world().JournalOf(kForceDestroy)) targets.push_back(call["self"]);
    return targets;
  }
  int Sweeps() { return world().host().log().Count("Timed Destroyed Requested"); }

  std::vector<AActor*> structures_;
};

TEST_F(TimedRepeats, StructuresAreDestroyedAgain15And20SecondsLater) {
  EXPECT_EQ(Replies(u"DestroyTribeStructures 1000001"), Strings{"Destroyed 1 structure(s)!"});
  JoinTribe(1);
  EXPECT_EQ(AdvanceAndTick(10), Strings{"structure:0"});
  EXPECT_EQ(Sweeps(), 0);
  EXPECT_EQ(AdvanceAndTick(6), (Strings{"structure:0", "structure:1"}));
  EXPECT_EQ(Sweeps(), 1);
  JoinTribe(2);
  EXPECT_EQ(AdvanceAndTick(5), (Strings{"structure:0", "structure:1", "structure:2"}));
  EXPECT_EQ(Sweeps(), 2);
  JoinTribe(3);
  EXPECT_EQ(AdvanceAndTick(100).size(), 3u) << "two repeats only";
  EXPECT_EQ(Sweeps(), 2);
}

TEST_F(TimedRepeats, TribeAllSchedulesTheRepeatsToo) {
  EXPECT_EQ(Replies(u"DestroyTribeAll 1000001").size(), 2u);
  AdvanceAndTick(30);
  EXPECT_EQ(Sweeps(), 2);
  EXPECT_EQ(Replies(u"DestroyTribeStructuresByBP 1000002 StoneWall_C"),
            Strings{"Destroyed 3 structure(s)!"});
  AdvanceAndTick(30);
  EXPECT_EQ(Sweeps(), 2) << "the by-blueprint destruction is not repeated";
}

TEST_F(TimedRepeats, UnloadingForgetsPendingRepeats) {
  Replies(u"DestroyTribeStructures 1000001");
  world().host().UnloadPlugin();
  EXPECT_TRUE(framework::TimerCallbackNames().empty());
  world().host().LoadPlugin();
  EXPECT_EQ(framework::TimerCallbackNames(),
            std::vector<std::u16string>{u"TimedDestroyTribeStructures"});
  JoinTribe(1);
  EXPECT_EQ(AdvanceAndTick(60), Strings{"structure:0"}) << "the reloaded schedule is empty";
  EXPECT_EQ(Sweeps(), 0);
}

}  // namespace
