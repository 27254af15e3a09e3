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

TEST_F(ServerInfo, NoGameStateMeansNoReplyAndZeroOnline) {
  UseWorld(WorldWith({{"game_state", nullptr}}));
  EXPECT_TRUE(Replies(u"GetInGameTime").empty());
  EXPECT_TRUE(Replies(u"GetServerFrames").empty());
  EXPECT_EQ(Replies(u"GetOnlineNum"), Strings{"0"});
}

TEST_F(ServerInfo, DayTimeIsNarrowedAndExtraWordsIgnored) {
  UseWorld(WorldWith(
      {{"game_state", {{"day_time", "Day 3, 12:00 \xc3\xa9t\xc3\xa9"}, {"players_connected", 7}}},
       {"map", "Aberration_P"}}));
  EXPECT_EQ(Replies(u"GetInGameTime extra words"), Strings{"Day 3, 12:00 ?t?"});
  EXPECT_EQ(Replies(u"GetOnlineNum 5"), Strings{"7"});
  EXPECT_EQ(Replies(u"getmapname"), Strings{"Aberration"}) << "the display name";
}

TEST_F(ServerInfo, TameAndWildCountsLeaveTeam50000Out) {
  auto dino = [](int team) { return nlohmann::json{{"team", team}}; };
  UseWorld(WorldWith({{"dinos", {dino(50000), dino(50000)}}}));
  EXPECT_EQ(Replies(u"GetTotalTames"), Strings{"Couldn't find any tamed dinos!"});
  EXPECT_EQ(Replies(u"GetTotalWilds 12"), Strings{"Couldn't find any wild dinos!"});

  UseWorld(
      WorldWith({{"dinos", {dino(50001), dino(2000000000), dino(49999), dino(0), dino(50000)}}}));
  EXPECT_EQ(Replies(u"GetTotalTames"), Strings{"Total tamed dinos: 2"});
  EXPECT_EQ(Replies(u"GetTotalWilds"), Strings{"Total wild dinos: 2"});
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
