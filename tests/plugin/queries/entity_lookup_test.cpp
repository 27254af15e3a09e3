#include "queries/entity_lookup.h"

#include <gtest/gtest.h>

#include <sdk/api.h>
#include <nlohmann/json.hpp>

#include "host/game_access.h"
#include "tests/support/command_test.h"

namespace {

using nlohmann::json;

json Player(const std::string& eos, json extra = json::object()) {
  json player = {{"eos_id", eos}, {"character_name", eos}};
  player.update(extra);
  return player;
}

std::vector<std::string> NamesOf(const std::vector<AShooterPlayerController*>& controllers) {
  std::vector<std::string> names;
  for (auto* c : controllers) {
    FString id = HostApi::IApiUtils::GetEOSIDFromController(c);
    names.emplace_back(id.View().begin(), id.View().end());
  }
  return names;
}

using OnlineWalk = support::CommandTest;

TEST_F(OnlineWalk, EndRuleStopsAtAStaleEntrySkipRuleGoesOn) {
  UseWorld(json{{"players", {Player("a"), Player("b", {{"stale", true}}), Player("c")}}}.dump(),
           {});
  std::vector<AShooterPlayerController*> seen;
  auto collect = [&](AShooterPlayerController* c) { seen.push_back(c); };

  EXPECT_TRUE(orvane::ForEachOnlinePlayer(orvane::StaleRule::kEnd, collect));
  EXPECT_EQ(NamesOf(seen), (std::vector<std::string>{"a"}));
  seen.clear();
  EXPECT_FALSE(orvane::ForEachOnlinePlayer(orvane::StaleRule::kSkip, collect));
  EXPECT_EQ(NamesOf(seen), (std::vector<std::string>{"a", "c"}));
}

TEST_F(OnlineWalk, ADisconnectedPlayerBecomesStale) {
  support::TestWorld world(json{{"players", {Player("a"), Player("b")}}}.dump());
  ASSERT_NE(orvane::FindPlayerByEosId(FString(u"b")), nullptr);
  ASSERT_TRUE(world.game().Disconnect(u"b"));
  EXPECT_EQ(orvane::FindPlayerByEosId(FString(u"b")), nullptr);
  int visited = 0;
  EXPECT_FALSE(orvane::ForEachOnlinePlayer(orvane::StaleRule::kSkip, [&](auto*) { ++visited; }));
  EXPECT_EQ(visited, 1);
  EXPECT_TRUE(orvane::ForEachOnlinePlayer(orvane::StaleRule::kEnd, [](auto*) {}));
}

TEST(PlayerTribe, TeamZeroGivesThePlayerIdAndNegativeTeamsAreSignExtended) {
  support::TestWorld world(
      json{{"players",
            {Player("none", {{"team", 0}, {"player_id", 412345678}}),
             Player("tribe", {{"team", 1000001}}), Player("odd", {{"team", -5}})}}}
          .dump());
  auto tribe_of = [](const char16_t* eos) {
    return orvane::TribeIdOfPlayer(orvane::FindPlayerByEosId(FString(eos)));
  };
  EXPECT_EQ(tribe_of(u"none"), 412345678u);
  EXPECT_EQ(tribe_of(u"tribe"), 1000001u);
  EXPECT_EQ(tribe_of(u"odd"), 18446744073709551611u);
}

TEST(PlayerCharacter, OnlyALivingCharacterCounts) {
  support::TestWorld world(json{{"players",
                                 {Player("alive"), Player("dead", {{"character", "dead"}}),
                                  Player("none", {{"character", "none"}})}}}
                               .dump());
  auto living = [](const char16_t* eos) {
    return orvane::LivingCharacterOf(orvane::FindPlayerByEosId(FString(eos)));
  };
  EXPECT_NE(living(u"alive"), nullptr);
  EXPECT_EQ(living(u"dead"), nullptr);
  EXPECT_EQ(living(u"none"), nullptr);
}

TEST(Dinos, FoundByIdsUntilDestroyed) {
  support::TestWorld world(json{{"dinos",
                                 {{{"id1", 1}, {"id2", 2}, {"team", 50000}},
                                  {{"id1", 4294967295u}, {"id2", 7}, {"team", 2000000000}}}}}
                               .dump());
  APrimalDinoCharacter* dino = orvane::FindDinoById(4294967295u, 7);
  ASSERT_NE(dino, nullptr);
  EXPECT_TRUE(orvane::IsUnclaimedTeam(orvane::TeamOf(dino)));
  EXPECT_EQ(orvane::FindDinoById(2, 1), nullptr) << "the pair is ordered";
  APrimalDinoCharacter* boundary = orvane::FindDinoById(1, 2);
  ASSERT_NE(boundary, nullptr);
  const int32_t team = orvane::TeamOf(boundary);
  EXPECT_FALSE(orvane::IsTamedTeam(team));
  EXPECT_FALSE(orvane::IsWildTeamForCounting(team));
  EXPECT_TRUE(orvane::IsWildTeamForKilling(team));

  int dinos = 0;
  orvane::ForEachLevelActor([&](AActor* actor) {
    if (!orvane::IsActorOfClass(actor, orvane::host::DinoClass())) return;
    ++dinos;
    orvane::host::Call(sym::AActor::Destroy, actor, true, false);  // the walk goes on
  });
  EXPECT_EQ(dinos, 2);
  EXPECT_EQ(orvane::FindDinoById(1, 2), nullptr);
  EXPECT_EQ(orvane::GetActorsOfClass(orvane::host::DinoClass()).Num(), 0);
}

TEST(ClassTests, DinosAndPlayerCharactersArePawnsStructuresAreNot) {
  support::TestWorld world(json{{"players", {Player("a")}},
                                {"dinos", {{{"id1", 1}, {"id2", 1}}}},
                                {"structures", {json::object()}},
                                {"actors", {{{"class", "Crate_C"}, {"kind", "pawn"}}}}}
                               .dump());
  int pawns = 0, structures = 0, dinos = 0;
  orvane::ForEachLevelActor([&](AActor* actor) {
    pawns += orvane::IsActorOfClass(actor, orvane::host::PawnClass());
    structures += orvane::IsActorOfClass(actor, orvane::host::StructureClass());
    dinos += orvane::IsActorOfClass(actor, orvane::host::DinoClass());
  });
  EXPECT_EQ(pawns, 3) << "the character, the dino and the pawn";
  EXPECT_EQ(structures, 1);
  EXPECT_EQ(dinos, 1);
}

}  // namespace
