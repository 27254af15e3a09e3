// Server information commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;

std::string WorldWith(nlohmann::json fields) {
  nlohmann::json world = nlohmann::json::object();
  world.update(fields);
  return world.dump();
}

using ServerInfo = support::CommandTest;

TEST_F(ServerInfo, FrameRateBandsAndTheirLogLine) {
  struct Case {
    float rate;
    const char* reply;
  };
  for (const Case& c : std::initializer_list<Case>{{15.0f, "WARNING - Serverframes: 15"},
                                                   {15.01f, "OK - Serverframes: 15.01"},
                                                   {8.0f, "CRITICAL - Serverframes: 8"},
                                                   {8.01f, "WARNING - Serverframes: 8.01"},
                                                   {120.0f, "OK - Serverframes: 120"}}) {
    UseWorld(WorldWith({{"game_state", {{"framerate", c.rate}}}}));
    EXPECT_EQ(Replies(u"GetServerFrames"), Strings{c.reply}) << c.rate;
    std::string value(c.reply);
    value = value.substr(value.rfind(' ') + 1);
    EXPECT_EQ(world().host().log().Count("ServerFramerate: " + value), 1) << c.rate;
  }
}

TEST_F(ServerInfo, RepliesOnWorldsOfTheirOwn) {
  auto dino = [](int team) { return nlohmann::json{{"team", team}}; };
  ExpectRepliesOnWorlds({
      // No game state: no reply, and nobody online.
      {WorldWith({{"game_state", nullptr}}),
       {{u"GetInGameTime", {}}, {u"GetServerFrames", {}}, {u"GetOnlineNum", {"0"}}}},
      // The day time narrowed, extra words ignored, the map's display name.
      {WorldWith({{"game_state",
                   {{"day_time", "Day 3, 12:00 \xc3\xa9t\xc3\xa9"}, {"players_connected", 7}}},
                  {"map", "Aberration_P"}}),
       {{u"GetInGameTime extra words", {"Day 3, 12:00 ?t?"}},
        {u"GetOnlineNum 5", {"7"}},
        {u"getmapname", {"Aberration"}}}},
      // Tame and wild counts leave team 50000 out.
      {WorldWith({{"dinos", {dino(50000), dino(50000)}}}),
       {{u"GetTotalTames", {"Couldn't find any tamed dinos!"}},
        {u"GetTotalWilds 12", {"Couldn't find any wild dinos!"}}}},
      {WorldWith({{"dinos", {dino(50001), dino(2000000000), dino(49999), dino(0), dino(50000)}}}),
       {{u"GetTotalTames", {"Total tamed dinos: 2"}}, {u"GetTotalWilds", {"Total wild dinos: 2"}}}},
  });
}

TEST_F(ServerInfo, WithoutAWorldTheOnlineCountFaultsCleanly) {
  // The count reads the world's game state without a test, as the game allows: on a server
  // without a world the request ends without a reply and the fault is logged.
  UseWorld(WorldWith({{"world", false}}));
  EXPECT_EQ(Replies(u"GetMapName"), Strings{""});
  EXPECT_TRUE(Replies(u"GetOnlineNum").empty());
  EXPECT_EQ(world().host().log().Count("field \"" + std::string(sym::UWorld::GameState.name) +
                                       "\" of a null object"),
            1);
}

}  // namespace
