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

TEST_F(TribeListings, TribeLogGivesOneLinePerEntry) {
  EXPECT_EQ(Replies(u"GetTribeLog 1000001"), Strings{"Day 1: a\nDay 2: b\nDay 3: c\n"});
  EXPECT_EQ(Replies(u"GetTribeLog 1000002"), Strings{""});
  EXPECT_EQ(Replies(u"GetTribeLog 1000003"), Strings{"Failed to load tribe data"});
  EXPECT_EQ(Replies(u"GetTribeLog 42"), Strings{"Failed to load tribe data"});
  EXPECT_EQ(Replies(u"GetTribeLog owls"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"GetTribeLog 1000001"), Strings{"Day 1: a\nDay 2: b\nDay 3: c\n"})
      << "the record size kept from the first use";
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

TEST_F(TribeListings, StructureCount) {
  EXPECT_EQ(Replies(u"GetTribeStructureCount 1000001"), Strings{"Total Structure Count: 3"});
  EXPECT_EQ(Replies(u"GetTribeStructureCount -5"), Strings{"Total Structure Count: 0"});
}

TEST_F(TribeListings, StructurePosNumbersMatchesAndCutsCoordinates) {
  // Matched through the consumed item's path, in any letter case; the map coordinates cut
  // (not rounded) to two decimals towards minus infinity.
  EXPECT_EQ(Replies(u"GetTribeStructurePos 1000001 stonewall"),
            Strings{"1) Stone Wall - X=80000.000 Y=-34576.000 Z=5.000 (45.67/60)\n"
                    "2) stone WALL - X=0.000 Y=-498728.000 Z=0.000 (-12.35/50)\n"
                    "Total Count 2"});
  // Only the descriptive name holds "of"; it is shown narrowed.
  EXPECT_EQ(Replies(u"GetTribeStructurePos 1000001 OF"),
            Strings{"1) Wood Wall Of D?om - X=8000.000 Y=8000.000 Z=0.000 (51/51)\n"
                    "Total Count 1"});
  EXPECT_EQ(Replies(u"GetTribeStructurePos 1000001 woodwall"),
            Strings{"1) Wood Wall Of D?om - X=8000.000 Y=8000.000 Z=0.000 (51/51)\n"
                    "Total Count 1"})
      << "through the pickup item's path";
  EXPECT_EQ(Replies(u"GetTribeStructurePos 1000001 thatch"), Strings{"Total Count 0"});
}

TEST_F(TribeListings, TribeStructuresGroupAscendingByCount) {
  EXPECT_EQ(Replies(u"ListTribeStructures 1000001"),
            Strings{"[\"Blueprint'/Game/Emulated/WoodWall.WoodWall'\"]: 1,\n"
                    "[\"Blueprint'/Game/Emulated/StoneWall.StoneWall'\"]: 2,\n"
                    "Found a total of 3 structures"});
  EXPECT_EQ(Replies(u"ListTribeStructures 1000001 1"), Strings{"[\"Wood Wall Of D?om\"]: 1,\n"
                                                               "[\"Stone Wall\"]: 2,\n"
                                                               "Found a total of 3 structures"})
      << "descriptive names differing only in case are one group, spelled as first met";
  EXPECT_EQ(Replies(u"ListTribeStructures 77"), Strings{"Found a total of 0 structures"});
  EXPECT_EQ(Replies(u"ListTribeStructures 1000001 x"), Strings{"Request has failed"});
}

TEST_F(TribeListings, TribeDinosFullOrCompact) {
  const Strings full = {"Speedy - Lvl 30 Id1:11 Id2:22\nChomper - Lvl 120 Id1:4294967295 Id2:7\n"};
  EXPECT_EQ(Replies(u"ListTribeDinos 1000001"), full);
  EXPECT_EQ(Replies(u"ListTribeDinos 1000001 0"), full);
  EXPECT_EQ(Replies(u"ListTribeDinos 1000001 1"), Strings{"Speedy 11:22\nChomper 4294967295:7\n"});
  EXPECT_EQ(Replies(u"ListTribeDinos 1000001 yes"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"ListTribeDinos 1000002"), Strings{"Couldn't find any dinos for this tribe"});
}

TEST_F(TribeListings, PlayerDinosFollowThePlayersTeam) {
  EXPECT_EQ(Replies(u"ListPlayerDinos e1"),
            Strings{"Speedy - Lvl 30 (Raptor) Id1:11 Id2:22\n"
                    "Chomper - Lvl 120 (Rex) Id1:4294967295 Id2:7\n"});
  EXPECT_EQ(Replies(u"ListPlayerDinos e1 1"), Strings{"Speedy 11:22\nChomper 4294967295:7\n"});
  EXPECT_EQ(Replies(u"ListPlayerDinos e2"), Strings{"Couldn't find any dinos for this player"});
  EXPECT_EQ(Replies(u"ListPlayerDinos nobody"), Strings{"Can't find player from the given eos id"});
  EXPECT_EQ(Replies(u"ListPlayerDinos e1 x"), Strings{"Request has failed"});
}

TEST_F(TribeListings, UnclaimedMeansExactlyTeam2000000000) {
  EXPECT_EQ(Replies(u"ListUnclaimedDinos"), Strings{"Stray - Lvl 3, ID1=5, ID2=5\n"});
  EXPECT_EQ(Replies(u"ListUnclaimedDinosAmount"), Strings{"Amount of unclaimed: 1"});
  UseWorld(R"({"dinos": [{"class": "Dodo_C", "team": 2000000001}]})");
  EXPECT_EQ(Replies(u"ListUnclaimedDinos"), Strings{"Couldn't find any Unclaimed Dinos"});
  EXPECT_EQ(Replies(u"ListUnclaimedDinosAmount"), Strings{"Couldn't find any Unclaimed Dinos"});
}

}  // namespace
