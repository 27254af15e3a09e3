// Server information commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/test_world.h"

namespace {

using Strings = std::vector<std::string>;

std::string WorldWith(nlohmann::json fields) {
  nlohmann::json world = nlohmann::json::object();
  world.update(fields);
  return world.dump();
}

support::TestWorld::Options WithPlugin() { return {.load_plugin = true}; }

TEST(ServerInfo, FrameRateBandsAndTheirLogLine) {
  struct Case {
    float rate;
    const char* reply;
  };
  for (const Case& c : std::initializer_list<Case>{{15.0f, "WARNING - Serverframes: 15"},
                                                   {15.01f, "OK - Serverframes: 15.01"},
                                                   {8.0f, "CRITICAL - Serverframes: 8"},
                                                   {8.01f, "WARNING - Serverframes: 8.01"},
                                                   {120.0f, "OK - Serverframes: 120"}}) {
    support::TestWorld world(WorldWith({{"game_state", {{"framerate", c.rate}}}}), WithPlugin());
    EXPECT_EQ(world.Replies(u"GetServerFrames"), Strings{c.reply}) << c.rate;
    std::string value(c.reply);
    value = value.substr(value.rfind(' ') + 1);
    EXPECT_EQ(world.host().log().Count("ServerFramerate: " + value), 1) << c.rate;
  }
}

TEST(ServerInfo, NoGameStateMeansNoReplyAndZeroOnline) {
  support::TestWorld world(WorldWith({{"game_state", nullptr}}), WithPlugin());
  const int64_t before = world.live_blocks();
  EXPECT_TRUE(world.Replies(u"GetInGameTime").empty());
  EXPECT_TRUE(world.Replies(u"GetServerFrames").empty());
  EXPECT_EQ(world.Replies(u"GetOnlineNum"), Strings{"0"});
  EXPECT_EQ(world.live_blocks(), before);
}

TEST(ServerInfo, DayTimeIsNarrowedAndExtraWordsIgnored) {
  support::TestWorld world(
      WorldWith({{"game_state",
                  {{"day_time", "Day 3, 12:00 \xc3\xa9t\xc3\xa9"}, {"players_connected", 7}}}}),
      WithPlugin());
  EXPECT_EQ(world.Replies(u"GetInGameTime extra words"), Strings{"Day 3, 12:00 ?t?"});
  EXPECT_EQ(world.Replies(u"GetOnlineNum 5"), Strings{"7"});
}

TEST(ServerInfo, TameAndWildCountsLeaveTeam50000Out) {
  auto dino = [](int team) { return nlohmann::json{{"team", team}}; };
  support::TestWorld only_boundary(WorldWith({{"dinos", {dino(50000), dino(50000)}}}),
                                   WithPlugin());
  EXPECT_EQ(only_boundary.Replies(u"GetTotalTames"), Strings{"Couldn't find any tamed dinos!"});
  EXPECT_EQ(only_boundary.Replies(u"GetTotalWilds 12"), Strings{"Couldn't find any wild dinos!"});

  support::TestWorld mixed(
      WorldWith({{"dinos", {dino(50001), dino(2000000000), dino(49999), dino(0), dino(50000)}}}),
      WithPlugin());
  const int64_t before = mixed.live_blocks();
  EXPECT_EQ(mixed.Replies(u"GetTotalTames"), Strings{"Total tamed dinos: 2"});
  EXPECT_EQ(mixed.Replies(u"GetTotalWilds"), Strings{"Total wild dinos: 2"});
  EXPECT_EQ(mixed.live_blocks(), before);
}

TEST(ServerInfo, MapNameUsesTheDisplayTable) {
  support::TestWorld aberration(WorldWith({{"map", "Aberration_P"}}), WithPlugin());
  EXPECT_EQ(aberration.Replies(u"GetMapName"), Strings{"Aberration"});
  support::TestWorld custom(WorldWith({{"map", "MyOwnMap"}}), WithPlugin());
  EXPECT_EQ(custom.Replies(u"getmapname"), Strings{"MyOwnMap"});
  support::TestWorld no_world(WorldWith({{"world", false}}), WithPlugin());
  EXPECT_EQ(no_world.Replies(u"GetMapName"), Strings{""});
}

TEST(ServerInfo, WithoutAWorldTheOnlineCountFaultsCleanly) {
  // The count reads the world's game state without a test, as the game allows: on a server
  // without a world the request ends without a reply and the fault is logged.
  support::TestWorld no_world(WorldWith({{"world", false}}), WithPlugin());
  EXPECT_TRUE(no_world.Replies(u"GetOnlineNum").empty());
  EXPECT_EQ(no_world.host().log().Count("field \"UWorld.GameState\" of a null object"), 1);
}

}  // namespace
