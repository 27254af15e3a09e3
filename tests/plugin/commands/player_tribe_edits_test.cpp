// Player and tribe edit commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "sdk/api.h"
#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;
using nlohmann::json;

const std::string kSetPlayerPos(sym::AShooterPlayerController::SetPlayerPos.name);
const std::string kRenamePlayer(sym::UShooterCheatManager::RenamePlayerId.name);
const std::string kRenameTribe(sym::UShooterCheatManager::RenameTribeID.name);

json Player(const std::string& eos, const std::string& name, json extra = {}) {
  json player = {{"eos_id", eos}, {"character_name", name}};
  if (extra.is_object()) player.update(extra);
  return player;
}

// Tribe 7 (named with a leading space) and the unloadable tribe 8. Alice (whose id has bit 31
// of its low half set), dead Bob and Dan without a cheat manager are in tribe 7; Carol has no
// tribe and stands at the origin; Eve has no character; Finn is alive but has no pawn.
std::string EditWorld(bool server_cheat_manager = true) {
  return json{
      {"server_cheat_manager", server_cheat_manager},
      {"tribes",
       {{{"id", 7}, {"name", " Night Owls"}},
        {{"id", 8}, {"name", "Ghosts"}, {"loadable", false}}}},
      {"players",
       {Player("e1", "Alice",
               {{"team", 7}, {"player_id", 0x180000005LL}, {"position", {1.0, 2.0, 3.0}}}),
        Player("e2", "Bob", {{"team", 7}, {"character", "dead"}, {"position", {5.0, 5.0, 5.0}}}),
        Player("e3", "Carol"), Player("e4", "Eve", {{"character", "none"}}),
        Player("e5", "Finn", {{"pawn", false}, {"position", {9.0, 9.0, 9.0}}}),
        Player("e6", "Dan", {{"team", 7}, {"cheat_manager", false}}),
        Player("e7", "Gus", {{"position", {10.5, -20.25, 30.0}}}),
        Player("e8", "Hal", {{"stale", true}})}}}
      .dump();
}

class Edits : public support::CommandTest {
 protected:
  Edits() : CommandTest(EditWorld()) {}
  json PlayerState(int index) { return world().State()["players"][index]; }
};

TEST_F(Edits, HairNeedsNumbersFirstThenACharacterAliveOrDead) {
  ExpectReplies({
      {u"SetHeadHair nobody long 3", {"Request has failed"}},
      {u"SetFacialHair e4 1 3", {"Can't find character from the given eos id"}},
      {u"SetFacialHair e1 0.5 3", {"Successfully Set Facial Hair on player"}},
      {u"SetHeadHair e2 1 -2", {"Successfully Set Head Hair on player"}},  // dead keeps hair
  });
  EXPECT_EQ(PlayerState(0)["facial_hair"], (json{{"percent", 0.5}, {"style", 3}}));
  EXPECT_EQ(PlayerState(1)["head_hair"], (json{{"percent", 1.0}, {"style", -2}}));
  auto calls = world().JournalOf(sym::AShooterCharacter::NetSetFacialHairPercent.name);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["self"], "character:e1");
}

TEST_F(Edits, PlayerNameNeedsThePlayerOnlineAndAliveAndUsesTheLow32BitsOfTheId) {
  ExpectReplies({
      {u"SetPlayerName nobody Zed", {"Player with eosID: nobody needs to be online!"}},
      {u"SetPlayerName e8 Zed", {"Player with eosID: e8 needs to be online!"}},
      {u"SetPlayerName e2 Zed", {"Player with eosID: e2 needs to be alive!"}},
      {u"SetPlayerName e4 Zed", {"Player with eosID: e4 needs to be alive!"}},
      // The name keeps its spacing.
      {u"SetPlayerName e1  Zed  Z", {"Successfully Renamed Player: 'Alice' To: '  Zed  Z'"}},
  });
  auto calls = world().JournalOf(kRenamePlayer);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["self"], "cheatmanager:server");
  EXPECT_EQ(calls[0]["args"], (json{static_cast<int32_t>(0x80000005U), "  Zed  Z"}));
  EXPECT_EQ(PlayerState(0)["character_name"], "  Zed  Z");
  EXPECT_EQ(PlayerState(1)["character_name"], "Bob");
}

TEST_F(Edits, PlayerPositionAndTeleportOfEveryone) {
  ExpectReplies({
      {u"SetPlayerPos e1 -1.5 2 1e3", {"Successfully teleported player"}},
      {u"TeleportAllPlayers 1 2 x", {"Request has failed"}},
      {u"SetPlayerPos e1 1 2 1e39", {"Request has failed"}},
  });
  EXPECT_EQ(PlayerState(0)["position"], (json{-1.5, 2.0, 1000.0}));
  EXPECT_EQ(world().JournalOf(kSetPlayerPos).size(), 1u) << "a bad coordinate moves nobody";
  EXPECT_EQ(Replies(u"TeleportAllPlayers 4 5 6"), Strings{"Successfully teleported players"});
  EXPECT_EQ(world().JournalOf(kSetPlayerPos).size(), 8u) << "all but the stale entry";
  EXPECT_EQ(PlayerState(6)["position"], (json{4.0, 5.0, 6.0}));
}

TEST_F(Edits, TribeRanksNeedATribeAndTheCheatManagerOfThePlayer) {
  ExpectReplies({
      {u"SetPlayerTribeOwner e3", {"Player is not in a tribe!"}},
      {u"SetPlayerTribeAdmin e6", {"Can't find the player's cheat manager"}},
      {u"SetPlayerTribeAdmin nobody", {"Can't find player from the given eos id"}},
      {u"SetPlayerTribeAdmin e2", {"Successfully set player to tribe admin!"}},
      {u"SetPlayerTribeOwner e1", {"Successfully set player to tribe owner!"}},
  });
  EXPECT_EQ(PlayerState(1)["tribe_rank"], "admin");
  EXPECT_EQ(PlayerState(0)["tribe_rank"], "founder");
  auto calls = world().JournalOf(sym::UShooterCheatManager::MakeTribeFounder.name);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["self"], "cheatmanager:e1");
  Replies(u"SetPlayerTribeOwner e2");
  EXPECT_EQ(PlayerState(1)["tribe_rank"], "founder");
  EXPECT_EQ(PlayerState(0)["tribe_rank"], "admin") << "a tribe has one owner";
  // Each rank change is an entry of the tribe's log, which the game mirrors into the tribe
  // record of each member's player state.
  ExpectBlocksKept(12);
}

TEST_F(Edits, TribeNameNeedsALoadableTribeAndComparesTheCutNameLeadingSpaceIncluded) {
  ExpectReplies({
      {u"SetTribeName 8 Owls", {"Failed to load tribe data"}},
      {u"SetTribeName 9 Owls", {"Failed to load tribe data"}},
      {u"SetTribeName seven Owls", {"Request has failed"}},
      {u"SetTribeName 7 night OWLS", {"Tribe name is already set, no change required!"}},
      {u"SetTribeName 7  Night Owls",
       {"Successfully Renamed Tribe: '[ Night Owls]' To: '[  Night Owls]'"}},
  });
  auto calls = world().JournalOf(kRenameTribe);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["args"], (json{7, "  Night Owls"}));
  EXPECT_EQ(world().State()["tribes"][0]["name"], "  Night Owls");
  // The renaming is written to the tribe's log, and the game refreshes the tribe record (name
  // and log) in the player state of each member.
  ExpectBlocksKept(6);
}

TEST_F(Edits, ServerCheatsWithoutAServerCheatManagerChangeNothing) {
  UseWorld(EditWorld(/*server_cheat_manager=*/false));
  const Strings refused = {"Can't find the server's cheat manager"};
  ExpectReplies({{u"SetTribeName 7 Owls", refused},
                 {u"SetPlayerName e1 Zed", refused},
                 {u"SendScriptCommand x", refused}});
  EXPECT_EQ(world().State()["script_commands"], nlohmann::json::array());
  EXPECT_TRUE(world().JournalOf(kRenameTribe).empty());
  EXPECT_TRUE(world().JournalOf(kRenamePlayer).empty());
}

TEST_F(Edits, TeleportToPlayerLooksBothUpThenTestsLifeThenTheLocation) {
  const Strings not_found = {"Can't find player from the given eos id"};
  const Strings dead = {"One of players is dead"};
  const Strings invalid = {"Player location is invalid"};
  ExpectReplies({
      {u"TeleportToPlayer nobody e2", not_found},
      {u"TeleportToPlayer e2 nobody", not_found},
      {u"TeleportToPlayer e1 e2", dead},
      {u"TeleportToPlayer e4 e1", dead},     // no character counts as dead
      {u"TeleportToPlayer e4 e5", dead},     // life is tested before the location
      {u"TeleportToPlayer e1 e5", invalid},  // a target without a pawn has no location
      {u"TeleportToPlayer e1 e3", invalid},  // the origin is no location
  });
  EXPECT_TRUE(world().JournalOf(kSetPlayerPos).empty());
  EXPECT_EQ(Replies(u"TeleportToPlayer e1 e7"), Strings{"Successfully teleported player"});
  auto calls = world().JournalOf(kSetPlayerPos);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0]["self"], "controller:e1");
  EXPECT_EQ(PlayerState(0)["position"], (json{10.5, -20.25, 30.0}));
}

TEST_F(Edits, TeleportToAPawnWithoutARootComponentIsRefused) {
  auto* target = HostApi::GetApiUtils().FindPlayerByEosId(FString(u"e7"));
  APawn* pawn = support::FieldOf(target, sym::AController::Pawn);
  USceneComponent*& root = support::FieldOf(pawn, sym::AActor::RootComponent);
  USceneComponent* kept = root;
  root = nullptr;
  EXPECT_EQ(Replies(u"TeleportToPlayer e1 e7"), Strings{"Player location is invalid"});
  root = kept;
  EXPECT_TRUE(world().JournalOf(kSetPlayerPos).empty());
}

}  // namespace
