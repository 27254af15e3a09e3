// Player query commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;
using nlohmann::json;

json Player(const std::string& eos, const std::string& name, int team, json extra = {}) {
  json player = {{"eos_id", eos}, {"character_name", name}, {"player_name", name}, {"team", team}};
  if (extra.is_object()) player.update(extra);
  return player;
}

std::string World(json players, json tribes = json::array()) {
  return json{{"players", players}, {"tribes", tribes}}.dump();
}

class PlayerQueries : public support::CommandTest {
 protected:
  PlayerQueries()
      : CommandTest(
            World({Player("e1", "Alice", 1000001,
                          {{"player_data_name", "PD_1"},
                           {"player_id", 412345678},
                           {"position", {100.0, -250.5, 30.0}}}),
                   Player("e2", "Bob", 0, {{"player_id", 77}, {"player_data_name", "PD_2"}}),
                   Player("e3", "Odd", -5, {{"player_data_name", "PD_3"}})},
                  {{{"id", 1000001}, {"name", "Night Owls"}}})) {}
};

using PlayerLists = support::CommandTest;

TEST_F(PlayerQueries, LookupsByEosId) {
  EXPECT_EQ(Replies(u"GetPlayerName e1"), Strings{"Playername - Alice\n"});
  EXPECT_EQ(Replies(u"GetPlayerPos   e1"), Strings{"X=100.000 Y=-250.500 Z=30.000"});
  EXPECT_EQ(Replies(u"GetTribeIdOfPlayer e1"), Strings{"Tribe ID: 1000001"});
  EXPECT_EQ(Replies(u"GetTribeIdOfPlayer e2"), Strings{"Tribe ID: 77"})
      << "a player without a tribe is reported under their player id";
  EXPECT_EQ(Replies(u"GetTribeIdOfPlayer e3"), Strings{"Tribe ID: 18446744073709551611"})
      << "a negative team is sign-extended";
  EXPECT_EQ(Replies(u"GetTribeName e1"), Strings{"Tribename: PD_1"});
}

TEST_F(PlayerQueries, MissingPlayerAndMissingWord) {
  EXPECT_EQ(Replies(u"GetPlayerName nobody"), Strings{"Can't find player from the given eos id"});
  EXPECT_EQ(Replies(u"GetPlayerName E1"), Strings{"Can't find player from the given eos id"})
      << "the id is passed exactly as typed";
  EXPECT_EQ(Replies(u"ListTribePlayers owls"), Strings{"Request has failed"});
  EXPECT_EQ(Replies(u"ListTribePlayers 99999999999"), Strings{"Request has failed"});
}

TEST_F(PlayerQueries, ListsGatherOneReply) {
  EXPECT_EQ(Replies(u"ListAllPlayerPos"), Strings{"Alice - (PD_1), X=100.000 Y=-250.500 Z=30.000\n"
                                                  "Bob - (PD_2), X=0.000 Y=0.000 Z=0.000\n"
                                                  "Odd - (PD_3), X=0.000 Y=0.000 Z=0.000\n"});
  EXPECT_EQ(Replies(u"ListAllPlayerEOSId"),
            Strings{"Alice [PD_1]: e1\nBob [PD_2]: e2\nOdd [PD_3]: e3\n"});
  EXPECT_EQ(Replies(u"ListTribePlayers 1000001x"), Strings{"Alice [PD_1]: e1\n"});
  EXPECT_EQ(Replies(u"ListTribePlayers 5"), Strings{"No Players Online"});
  EXPECT_EQ(Replies(u"ListOnlinePlayers"), Strings{"[Alice]: e1\n[Bob]: e2\n[Odd]: e3\n"});
  EXPECT_EQ(Replies(u"ListOnlineTribes"), Strings{"[Night Owls]: 1000001\n"});
}

TEST_F(PlayerLists, NobodyOnline) {
  UseWorld(World(json::array()));
  EXPECT_EQ(Replies(u"ListAllPlayerPos"), Strings{""});
  EXPECT_EQ(Replies(u"ListAllPlayerEOSId"), Strings{"No Players Online"});
  EXPECT_EQ(Replies(u"ListOnlinePlayers"), Strings{"No players online"});
  EXPECT_EQ(Replies(u"ListOnlineTribes"), Strings{"No tribes online"});
}

TEST_F(PlayerLists, AStaleEntryEndsTheWalkWithOnlyTheStaleReply) {
  UseWorld(World({Player("e1", "Alice", 1), Player("e2", "Bob", 1, {{"stale", true}}),
                  Player("e3", "Carol", 1)},
                 {{{"id", 1}, {"name", "T"}}}));
  EXPECT_EQ(Replies(u"ListAllPlayerPos"), Strings{"Can't find any players online"});
  EXPECT_EQ(Replies(u"ListAllPlayerEOSId"), Strings{"Can't find any players online"});
  EXPECT_EQ(Replies(u"ListTribePlayers 1"), Strings{"Can't find any players online"});
  EXPECT_EQ(Replies(u"ListOnlinePlayers"), Strings{"Can't find any player online"});
  EXPECT_EQ(Replies(u"ListOnlineTribes"), Strings{"Can't find any tribe online"});
  EXPECT_EQ(Replies(u"GetPlayerName e3"), Strings{"Playername - Carol\n"})
      << "the lookup by id passes stale entries over";
}

TEST_F(PlayerLists, OnlinePlayersSkipNamesAlreadyInTheText) {
  UseWorld(World({Player("e1", "Annabelle", 0), Player("e2", "ANNA", 0)}));
  EXPECT_EQ(Replies(u"ListOnlinePlayers"), Strings{"[Annabelle]: e1\n"});
  UseWorld(World({Player("e2", "ANNA", 0), Player("e1", "Annabelle", 0)}));
  EXPECT_EQ(Replies(u"ListOnlinePlayers"), Strings{"[ANNA]: e2\n[Annabelle]: e1\n"});
  UseWorld(World({Player("e1", "", 0)}));
  EXPECT_EQ(Replies(u"ListOnlinePlayers"), Strings{"No players online"});
}

TEST_F(PlayerLists, OnlineTribesListEachTribeOnceAndNoTribeless) {
  json tribes = {{{"id", 5}, {"name", "Owls"}}};
  UseWorld(
      World({Player("a", "A", 5), Player("b", "B", 5), Player("c", "C", 0), Player("d", "D", 5)},
            tribes));
  EXPECT_EQ(Replies(u"ListOnlineTribes"), Strings{"[Owls]: 5\n"});
  UseWorld(World({Player("c", "C", 0), Player("e", "E", 0)}));
  EXPECT_EQ(Replies(u"ListOnlineTribes"), Strings{"No tribes online"});
}

}  // namespace
