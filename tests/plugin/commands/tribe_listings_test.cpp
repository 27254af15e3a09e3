// Tribe listing commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <sdk/api.h>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;

// Tribe 1000001: Alice, a raptor and a rex, two stone walls (names differing in case) and a
// wood wall; tribe 1000002: Bob and one stone wall. One unclaimed raptor, one a team above.
constexpr const char* kTribeWorld = R"({
  "tribes": [{"id": 1000001, "name": "Night Owls", "log": ["Day 1: a", "Day 2: b", "Day 3: c"]},
             {"id": 1000002, "name": "Quiet", "log": []},
             {"id": 1000003, "name": "Lost", "loadable": false}],
  "players": [{"eos_id": "e1", "character_name": "Alice", "team": 1000001},
              {"eos_id": "e2", "character_name": "Bob", "team": 1000002}],
  "dinos": [
    {"class": "Raptor_Character_BP_C", "id1": 11, "id2": 22, "team": 1000001, "name": "Speedy",
     "level": 30},
    {"class": "Raptor_Character_BP_C", "id1": 5, "id2": 5, "team": 2000000000, "name": "Stray",
     "level": 3},
    {"class": "Rex_Character_BP_C", "id1": 4294967295, "id2": 7, "team": 1000001,
     "name": "Chomper", "level": 120},
    {"class": "Raptor_Character_BP_C", "id1": 6, "id2": 6, "team": 2000000001, "name": "Almost",
     "level": 4}],
  "structures": [
    {"class": "StoneWall_C", "team": 1000001, "name": "Stone Wall",
     "consumes_item": "PrimalItemStructure_StoneWall_C", "position": [80000, -34576, 5]},
    {"class": "WoodWall_C", "team": 1000001, "name": "Wood Wall Of D\u00f6om",
     "pickup_item": "PrimalItemStructure_WoodWall_C", "position": [8000, 8000, 0]},
    {"class": "StoneWall_C", "team": 1000002, "name": "Stone Wall",
     "consumes_item": "PrimalItemStructure_StoneWall_C"},
    {"class": "StoneWall_C", "team": 1000001, "name": "stone WALL",
     "consumes_item": "PrimalItemStructure_StoneWall_C", "position": [0, -498728, 0]}]})";

class TribeListings : public support::CommandTest {
 protected:
  TribeListings() : CommandTest(kTribeWorld) {}
};

// The listings read the world and leave it as it was, so one table holds them in any order.
TEST_F(TribeListings, RepliesOfEachListing) {
  const Strings log = {"Day 1: a\nDay 2: b\nDay 3: c\n"};
  const Strings no_tribe = {"Failed to load tribe data"};
  const Strings failed = {"Request has failed"};
  const Strings full = {"Speedy - Lvl 30 Id1:11 Id2:22\nChomper - Lvl 120 Id1:4294967295 Id2:7\n"};
  const Strings compact = {"Speedy 11:22\nChomper 4294967295:7\n"};
  const Strings wood_wall = {
      "1) Wood Wall Of D?om - X=8000.000 Y=8000.000 Z=0.000 (51/51)\nTotal Count 1"};
  ExpectReplies({
      {u"GetTribeLog 1000001", log},
      {u"GetTribeLog 1000002", {""}},
      {u"GetTribeLog 1000003", no_tribe},
      {u"GetTribeLog 42", no_tribe},
      {u"GetTribeLog owls", failed},
      {u"GetTribeLog 1000001", log},  // the record size kept from the first use
      {u"GetTribeStructureCount 1000001", {"Total Structure Count: 3"}},
      {u"GetTribeStructureCount -5", {"Total Structure Count: 0"}},
      // Matched through the consumed item's path, in any letter case; the map coordinates cut
      // (not rounded) to two decimals towards minus infinity.
      {u"GetTribeStructurePos 1000001 stonewall",
       {"1) Stone Wall - X=80000.000 Y=-34576.000 Z=5.000 (45.67/60)\n"
        "2) stone WALL - X=0.000 Y=-498728.000 Z=0.000 (-12.35/50)\nTotal Count 2"}},
      // Only the descriptive name holds "of"; it is shown narrowed.
      {u"GetTribeStructurePos 1000001 OF", wood_wall},
      {u"GetTribeStructurePos 1000001 woodwall", wood_wall},  // the pickup item's path
      {u"GetTribeStructurePos 1000001 thatch", {"Total Count 0"}},
      {u"ListTribeStructures 1000001",
       {"[\"Blueprint'/Game/Emulated/WoodWall.WoodWall'\"]: 1,\n"
        "[\"Blueprint'/Game/Emulated/StoneWall.StoneWall'\"]: 2,\nFound a total of 3 structures"}},
      // Descriptive names differing only in case are one group, spelled as first met.
      {u"ListTribeStructures 1000001 1",
       {"[\"Wood Wall Of D?om\"]: 1,\n[\"Stone Wall\"]: 2,\nFound a total of 3 structures"}},
      {u"ListTribeStructures 77", {"Found a total of 0 structures"}},
      {u"ListTribeStructures 1000001 x", failed},
      {u"ListTribeDinos 1000001", full},
      {u"ListTribeDinos 1000001 0", full},
      {u"ListTribeDinos 1000001 1", compact},
      {u"ListTribeDinos 1000001 yes", failed},
      {u"ListTribeDinos 1000002", {"Couldn't find any dinos for this tribe"}},
      // A player's dinos are those of the player's team.
      {u"ListPlayerDinos e1",
       {"Speedy - Lvl 30 (Raptor) Id1:11 Id2:22\nChomper - Lvl 120 (Rex) Id1:4294967295 Id2:7\n"}},
      {u"ListPlayerDinos e1 1", compact},
      {u"ListPlayerDinos e2", {"Couldn't find any dinos for this player"}},
      {u"ListPlayerDinos nobody", {"Can't find player from the given eos id"}},
      {u"ListPlayerDinos e1 x", failed},
      // Unclaimed means exactly team 2000000000.
      {u"ListUnclaimedDinos", {"Stray - Lvl 3, ID1=5, ID2=5\n"}},
      {u"ListUnclaimedDinosAmount", {"Amount of unclaimed: 1"}},
  });
}

TEST_F(TribeListings, TribeLogGrowsWhenTheGameAddsToIt) {
  auto& game = HostApi::GetApiUtils();
  AShooterPlayerController* alice = game.FindPlayerByEosId(FString("e1"));
  FString name("Owls");
  support::CallGame(sym::UShooterCheatManager::RenameTribeID,
                    static_cast<UShooterCheatManager*>(game.CurrentCheatManager()), 1000001, name);
  support::CallGame(
      sym::APrimalDinoCharacter::TameDino,
      support::CallGame(sym::APrimalDinoCharacter::FindDinoWithID, game.CurrentWorld(), 6u, 6u),
      alice, false, 0, false, false, false);
  support::CallGame(sym::UShooterCheatManager::MakeTribeAdmin,
                    static_cast<UShooterCheatManager*>(
                        support::FieldOf(alice, sym::APlayerController::CheatManager)));
  const std::string added =
      "Day 1, 08:00:00: Tribe renamed to 'Owls'\n"
      "Day 1, 08:00:00: Alice tamed a Almost - Lvl 4 (Raptor)!\n"
      "Day 1, 08:00:00: Alice was promoted to Tribe Admin\n";
  EXPECT_EQ(Replies(u"GetTribeLog 1000001"), Strings{"Day 1: a\nDay 2: b\nDay 3: c\n" + added});
  EXPECT_EQ(world().State()["tribes"][0]["log"].size(), 6u);
  EXPECT_EQ(Replies(u"GetTribeLog 1000002"), Strings{""});
  // The game keeps the three entries in Alice's own tribe record and the dino's tamer name.
  ExpectBlocksKept(4);
}

TEST_F(TribeListings, TribeLogWithoutTheRecordStructure) {
  UseWorld(R"({"tribe_data_struct": false, "tribes": [{"id": 7, "log": ["x"]}]})");
  EXPECT_EQ(Replies(u"GetTribeLog 7"), Strings{"Failed to load tribe data"});
}

TEST_F(TribeListings, MissingRecordStructureOrUnclaimedDinos) {
  UseWorld(R"({"tribe_data_struct": false, "tribes": [{"id": 7, "log": ["x"]}]})");
  EXPECT_EQ(Replies(u"GetTribeLog 7"), Strings{"Failed to load tribe data"});
  UseWorld(R"({"dinos": [{"class": "Dodo_C", "team": 2000000001}]})");
  ExpectReplies({{u"ListUnclaimedDinos", {"Couldn't find any Unclaimed Dinos"}},
                 {u"ListUnclaimedDinosAmount", {"Couldn't find any Unclaimed Dinos"}}});
}

}  // namespace
