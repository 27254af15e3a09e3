// Any request line gets a reply of the command's own or none, never a crash, and leaves no
// block behind: every registered command of the plugin against lines built from awkward words,
// on the default world. And every command that answers its bare name with a usage reply keeps
// answering it until the line holds a word for each of the usage's placeholders.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "framework/host/command_registry.h"
#include "game/game.h"
#include "tests/support/test_world.h"

namespace {

const std::u16string kWords[] = {
    u"",
    u"0",
    u"-1",
    u"1",
    u"11",
    u"2147483647",
    u"2147483648",
    u"-2147483649",
    u"4294967295",
    u"18446744073709551616",
    u"1e39",
    u"-1e-50",
    u"nan",
    u"inf",
    u"0x1p3",
    u"abc",
    u"12abc",
    u"\t7",
    u"Zo\u00eb",
    u"\U0001F996",
    u"\"",
    u"Blueprint'/Game/X.X'",
    u"1000001",
    u"50000",
    u"2000000000",
    std::u16string(300, u'9'),
    std::u16string(5000, u'x'),
};

// The most replies one request may get: one, but one per player online for the commands that
// answer each player ("GiveItemToAll") or each member of a tribe ("TribeChatMsg"), and two for
// "DestroyTribeAll" (its counts, then its confirmation).
std::size_t MostReplies(const std::u16string& command, std::size_t players_online) {
  if (command == u"GiveItemToAll" || command == u"TribeChatMsg")
    return std::max<std::size_t>(players_online, 1);
  return command == u"DestroyTribeAll" ? 2 : 1;
}

// Commands that destroy actors: collecting the destroyed ones frees their strings, so the live
// block count may fall, but never rise.
const std::set<std::u16string> kDestroyers = {
    u"KillDino",
    u"DestroyActorAll",
    u"DestroyActorWild",
    u"DestroyTribeAll",
    u"DestroyTribeDinos",
    u"DestroyTribePlayers",
    u"DestroyTribeStructures",
    u"DestroyTribeStructuresByBP",
    u"KickAllPlayers",
    u"KillPlayerId",
    u"KillUnclaimedDinos",
    u"KillAllWildDinos",
};

// Commands whose effect the game keeps in host blocks of its own: a renamed tribe gets an entry
// in its log, which the game copies into each member's tribe record.
const std::set<std::u16string> kKeepers = {u"SetTribeName"};

TEST(RequestLines, AwkwardArgumentsNeverBreakACommand) {
  support::TestWorld world(game::DefaultWorldJson(), {.load_plugin = true});
  std::size_t players_online = 0;
  const nlohmann::json state = world.State();
  for (const auto& player : state["players"])
    if (!player["stale"].get<bool>()) ++players_online;
  std::mt19937 random(7);
  auto word = [&] { return kWords[random() % std::size(kWords)]; };
  // "TestCommand" answers nobody, and how long it runs is set by its arguments, so it is tried
  // on awkward words in its own test.
  // Destroyers run last, so that every other command meets the players and dinos online.
  std::vector<std::u16string> commands = framework::RconCommandNames();
  std::stable_partition(commands.begin(), commands.end(),
                        [](const std::u16string& c) { return !kDestroyers.contains(c); });
  for (const std::u16string& command : commands) {
    if (command == u"TestCommand") continue;
    for (int round = 0; round < 40; ++round) {
      std::u16string line = command;
      const int words = static_cast<int>(random() % 7);
      for (int i = 0; i < words; ++i) line += std::u16string(1 + random() % 3, u' ') + word();
      const int64_t before = world.live_blocks();
      const auto replies = world.Dispatch(line, round, 2);
      const std::string name(command.begin(), command.end());
      EXPECT_LE(replies.size(), MostReplies(command, players_online)) << name;
      for (const auto& reply : replies) EXPECT_EQ(reply.id, round);
      world.game().CollectGarbage();
      if (kDestroyers.contains(command)) {
        EXPECT_LE(world.live_blocks(), before) << name;
      } else if (kKeepers.contains(command)) {
        EXPECT_GE(world.live_blocks(), before) << name;
      } else {
        EXPECT_EQ(world.live_blocks(), before) << name;
      }
    }
  }
}

TEST(RequestLines, TooFewWordsGetTheUsageReplyAndEnoughWordsDoNot) {
  support::TestWorld world(game::DefaultWorldJson(), {.load_plugin = true});
  int commands_with_usage = 0;
  for (const std::u16string& command : framework::RconCommandNames()) {
    if (command == u"TestCommand") continue;
    const auto bare = world.Replies(command);
    if (bare.size() != 1 || !bare[0].starts_with("Not enough arguments: ")) continue;
    ++commands_with_usage;
    const std::string usage = bare[0];
    const std::string first_line = usage.substr(0, usage.find('\n'));
    const auto required = std::count(first_line.begin(), first_line.end(), '<');
    std::u16string line = command;
    for (int words = 0; words < required; ++words, line += u" 1") {
      EXPECT_EQ(world.Replies(line), std::vector<std::string>{usage})
          << std::string(line.begin(), line.end());
    }
    const auto replies = world.Replies(line);
    EXPECT_TRUE(replies.empty() || replies[0] != usage) << std::string(line.begin(), line.end());
  }
  EXPECT_GT(commands_with_usage, 50);
}

}  // namespace
