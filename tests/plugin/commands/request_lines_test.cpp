// Every command that answers its bare name with a usage reply keeps answering it until the line
// holds a word for each of the usage's placeholders. (That awkward words never break a command
// nor leave a block behind is the request-line fuzzer's, whose seeds replay in the suite.)
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "framework/host/command_registry.h"
#include "game/game.h"
#include "tests/support/test_world.h"

namespace {

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
