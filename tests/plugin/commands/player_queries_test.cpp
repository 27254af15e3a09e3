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

TEST_F(PlayerQueries, RepliesOfEachQuery) {
  const Strings not_found = {"Can't find player from the given eos id"};
  ExpectReplies({
      {u"GetPlayerName e1", {"Playername - Alice\n"}},
      {u"GetPlayerPos   e1", {"X=100.000 Y=-250.500 Z=30.000"}},
      {u"GetTribeIdOfPlayer e1", {"Tribe ID: 1000001"}},
      {u"GetTribeIdOfPlayer e2", {"Tribe ID: 77"}},                    // no tribe: the player id
      {u"GetTribeIdOfPlayer e3", {"Tribe ID: 18446744073709551611"}},  // sign-extended
      {u"GetTribeName e1", {"Tribename: PD_1"}},
      {u"GetPlayerName nobody", not_found},
      {u"GetPlayerName E1", not_found},  // the id is passed exactly as typed
      {u"ListTribePlayers owls", {"Request has failed"}},
      {u"ListTribePlayers 99999999999", {"Request has failed"}},
      {u"ListAllPlayerPos",
       {"Alice - (PD_1), X=100.000 Y=-250.500 Z=30.000\nBob - (PD_2), X=0.000 Y=0.000 Z=0.000\n"
        "Odd - (PD_3), X=0.000 Y=0.000 Z=0.000\n"}},
      {u"ListAllPlayerEOSId", {"Alice [PD_1]: e1\nBob [PD_2]: e2\nOdd [PD_3]: e3\n"}},
      {u"ListTribePlayers 1000001x", {"Alice [PD_1]: e1\n"}},
      {u"ListTribePlayers 5", {"No Players Online"}},
      {u"ListOnlinePlayers", {"[Alice]: e1\n[Bob]: e2\n[Odd]: e3\n"}},
      {u"ListOnlineTribes", {"[Night Owls]: 1000001\n"}},
  });
}

TEST_F(PlayerLists, OnWorldsOfTheirOwn) {
  const Strings stale = {"Can't find any players online"};
  ExpectRepliesOnWorlds({
      {World(json::array()),
       {{u"ListAllPlayerPos", {""}},
        {u"ListAllPlayerEOSId", {"No Players Online"}},
        {u"ListOnlinePlayers", {"No players online"}},
        {u"ListOnlineTribes", {"No tribes online"}}}},
      // A stale entry ends a walk with only the stale reply; a lookup by id passes it over.
      {World({Player("e1", "Alice", 1), Player("e2", "Bob", 1, {{"stale", true}}),
              Player("e3", "Carol", 1)},
             {{{"id", 1}, {"name", "T"}}}),
       {{u"ListAllPlayerPos", stale},
        {u"ListAllPlayerEOSId", stale},
        {u"ListTribePlayers 1", stale},
        {u"ListOnlinePlayers", {"Can't find any player online"}},
        {u"ListOnlineTribes", {"Can't find any tribe online"}},
        {u"GetPlayerName e3", {"Playername - Carol\n"}}}},
      // Online players skip names already in the text; an empty name is no player.
      {World({Player("e1", "Annabelle", 0), Player("e2", "ANNA", 0)}),
       {{u"ListOnlinePlayers", {"[Annabelle]: e1\n"}}}},
      {World({Player("e2", "ANNA", 0), Player("e1", "Annabelle", 0)}),
       {{u"ListOnlinePlayers", {"[ANNA]: e2\n[Annabelle]: e1\n"}}}},
      {World({Player("e1", "", 0)}), {{u"ListOnlinePlayers", {"No players online"}}}},
      // Online tribes list each tribe once and no tribeless player.
      {World({Player("a", "A", 5), Player("b", "B", 5), Player("c", "C", 0), Player("d", "D", 5)},
             {{{"id", 5}, {"name", "Owls"}}}),
       {{u"ListOnlineTribes", {"[Owls]: 5\n"}}}},
      {World({Player("c", "C", 0), Player("e", "E", 0)}),
       {{u"ListOnlineTribes", {"No tribes online"}}}},
  });
}

}  // namespace
