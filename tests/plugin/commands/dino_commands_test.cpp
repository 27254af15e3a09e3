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

// Id words are signed 32-bit numbers; blueprint paths differ per class; the dead are not
// recoloured but can be killed, once.
TEST_F(DinoCommands, LookupsRecolourAndKill) {
  const Strings not_found = {"Can't find dino"};
  ExpectReplies({
      {u"GetDinoPos -1 -1294967296", {"X=0.000 Y=0.000 Z=0.000"}},
      {u"GetDinoPos 4294967295 -1294967296", {"Request has failed"}},
      {u"GetDinoPos -1 3000000000", {"Request has failed"}},
      {u"KillDino raptor 22", {"Request has failed"}},
      {u"GetDinoPos 11abc 22", {"X=1.500 Y=-2.250 Z=3.000"}},
      {u"GetDinoPos 11 23", not_found},
      {u"GetDinoBP 11 22",
       {"Blueprint'/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP'"}},
      {u"GetDinoBP -1 -1294967296",
       {"Blueprint'/Game/Emulated/Rex_Character_BP.Default__Rex_Character_BP'"}},
      {u"SetDinoColor 5 5 0 12", not_found},
      {u"SetDinoColor 11 22 0 12", {"Successfully executed"}},
      {u"KillDino 5 5", {"Killed dino"}},
      {u"KillDino 5 5", not_found},
  });
  EXPECT_EQ(world().JournalOf(sym::APrimalDinoCharacter::ForceUpdateColorSets.name).size(), 1u);
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
  ExpectReplies({
      {u"SetImprintToPlayer 1 2 nobody", {"Can't find dino"}},
      {u"SetImprintToPlayer 11 22 nobody", {"Can't find player from the given eos id"}},
      {u"SetImprintToPlayer 11 22 e1", {"Successfully changed Imprint on dino"}},
  });
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
