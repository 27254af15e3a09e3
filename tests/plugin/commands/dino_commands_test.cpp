// Dino commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;
using nlohmann::json;

// Dino 11:22 (a raptor), dino 4294967295:3000000000 (a rex, typed as -1 and -1294967296),
// dead dino 5:5, and one player.
std::string DinoWorld() {
  return json{
      {"classes",
       {{{"name", "Raptor_Character_BP_C"},
         {"kind", "dino"},
         {"path", "/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP_C"}}}},
      {"players", {{{"eos_id", "e1"}, {"character_name", "Alice"}, {"player_id", 412345678}}}},
      {"dinos",
       {{{"class", "Raptor_Character_BP_C"},
         {"id1", 11},
         {"id2", 22},
         {"team", 1000001},
         {"position", {1.5, -2.25, 3.0}}},
        {{"class", "Rex_Character_BP_C"}, {"id1", 4294967295u}, {"id2", 3000000000u}},
        {{"class", "Raptor_Character_BP_C"}, {"id1", 5}, {"id2", 5}, {"dead", true}}}}}
      .dump();
}

class DinoCommands : public support::CommandTest {
 protected:
  DinoCommands() : CommandTest(DinoWorld()) {}
};

TEST_F(DinoCommands, IdWordsAreSigned32BitNumbers) {
  EXPECT_EQ(Replies(u"GetDinoPos -1 -1294967296"), Strings{"X=0.000 Y=0.000 Z=0.000"});
  EXPECT_EQ(Replies(u"GetDinoPos 4294967295 -1294967296"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"GetDinoPos -1 3000000000"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"KillDino raptor 22"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"GetDinoPos 11abc 22"), Strings{"X=1.500 Y=-2.250 Z=3.000"});
  EXPECT_EQ(Replies(u"GetDinoPos 11 23"), Strings{"Can't find dino"});
}

TEST_F(DinoCommands, OnlyBlueprintAndPositionRepliesAreType0) {
  for (const std::u16string line : {u"GetDinoBP 11 22", u"GetDinoPos 11 22"}) {
    auto replies = world().Dispatch(line, 31, 2);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].type, 0);
    EXPECT_EQ(replies[0].id, 31);
  }
  for (const std::u16string line : {u"GetDinoBP 11 99", u"GetDinoPos 11", u"KillDino 5 5"}) {
    auto replies = world().Dispatch(line, 32, 2);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].type, 2) << std::string(line.begin(), line.end());
  }
}

TEST_F(DinoCommands, BlueprintPathsDifferPerClass) {
  EXPECT_EQ(
      Replies(u"GetDinoBP 11 22"),
      Strings{"Blueprint'/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP'"});
  EXPECT_EQ(Replies(u"GetDinoBP -1 -1294967296"),
            Strings{"Blueprint'/Game/Emulated/Rex_Character_BP.Default__Rex_Character_BP'"});
}

TEST_F(DinoCommands, DeadDinosAreNotRecolouredButCanBeKilled) {
  EXPECT_EQ(Replies(u"SetDinoColor 5 5 0 12"), Strings{"Can't find dino"});
  EXPECT_TRUE(world().JournalOf(sym::APrimalDinoCharacter::ForceUpdateColorSets.name).empty());
  EXPECT_EQ(Replies(u"SetDinoColor 11 22 0 12"), Strings{"Successfully executed"});
  EXPECT_EQ(Replies(u"KillDino 5 5"), Strings{"Killed dino"});
  EXPECT_EQ(Replies(u"KillDino 5 5"), Strings{"Can't find dino"}) << "destroyed";
}

TEST_F(DinoCommands, ImprintQualityIsPassedAsAFractionUnclamped) {
  EXPECT_EQ(Replies(u"SetImprintQuality 11 22 50"),
            Strings{"Successfully changed Imprint Quality on dino"});
  Replies(u"SetImprintQuality 11 22 150");
  auto calls = world().JournalOf(sym::APrimalDinoCharacter::UpdateImprintingQuality.name);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0]["args"][0], 0.5);
  EXPECT_EQ(calls[1]["args"][0], 1.5);
  EXPECT_EQ(calls[0]["self"], "dino:11:22");
}

TEST_F(DinoCommands, ImprintToPlayerLooksUpTheDinoFirst) {
  EXPECT_EQ(Replies(u"SetImprintToPlayer 1 2 nobody"), Strings{"Can't find dino"});
  EXPECT_EQ(Replies(u"SetImprintToPlayer 11 22 nobody"),
            Strings{"Can't find player from the given eos id"});
  EXPECT_EQ(Replies(u"SetImprintToPlayer 11 22 e1"),
            Strings{"Successfully changed Imprint on dino"});
  auto calls = world().JournalOf(sym::APrimalDinoCharacter::UpdateImprintingDetails.name);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["args"], (json{"Alice", "412345678"}));
}

TEST_F(DinoCommands, ExperienceAndTeleportReachTheGame) {
  EXPECT_EQ(Replies(u"GiveDinoXP 11 22 -250.5"), Strings{"Successfully added experience to dino"});
  auto xp = world().JournalOf(sym::UPrimalCharacterStatusComponent::AddExperience.name);
  ASSERT_EQ(xp.size(), 1u);
  EXPECT_EQ(xp[0]["self"], "status:dino:11:22");
  EXPECT_EQ(xp[0]["args"], (json{-250.5, false, 0}));
  EXPECT_EQ(Replies(u"GiveDinoXP 11 22 1e39"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"SetDinoPos 11 22 10 20 30"), Strings{"Successfully teleported dino"});
  EXPECT_EQ(Replies(u"GetDinoPos 11 22"), Strings{"X=10.000 Y=20.000 Z=30.000"});
  auto teleports = world().JournalOf(sym::APrimalCharacter::TeleportTo.name);
  ASSERT_EQ(teleports.size(), 1u);
  EXPECT_EQ(teleports[0]["args"], (json{{10.0, 20.0, 30.0}, {0.0, 0.0, 0.0}, true, false}));
}

}  // namespace
