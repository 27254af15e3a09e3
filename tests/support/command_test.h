// CommandTest: the fixture of every test that dispatches plugin commands: the plugin loaded on
// a world built in the test, and, at tear-down, the allocator's live block count back where it
// was when the world was built (less what the test says the game keeps on purpose).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/test_world.h"

namespace support {

// One request of a table and the replies it must get, in order.
struct Exchange {
  std::u16string line;
  std::vector<std::string> replies;
};

// A world of its own, then requests made on it and their replies.
struct WorldExchanges {
  std::string world_json;
  std::vector<Exchange> exchanges;
};

inline constexpr TestWorld::Options kWithPlugin{.load_plugin = true};

class CommandTest : public ::testing::Test {
 protected:
  CommandTest() = default;
  explicit CommandTest(std::string_view world_json, TestWorld::Options options = kWithPlugin) {
    UseWorld(world_json, options);
  }
  ~CommandTest() override;

  // Builds a world in place of the current one, whose block count is checked first.
  TestWorld& UseWorld(std::string_view world_json, TestWorld::Options options = kWithPlugin);
  TestWorld& world() { return *world_; }

  // The reply texts of one request on the current world, as UTF-8.
  std::vector<std::string> Replies(const std::u16string& line) { return world_->Replies(line); }
  // Dispatches each line in turn on the current world; a mismatch names its line.
  void ExpectReplies(const std::vector<Exchange>& exchanges);
  // Builds each world in turn and checks its exchanges; a mismatch names the world too.
  void ExpectRepliesOnWorlds(const std::vector<WorldExchanges>& cases);

  // Blocks that the game keeps on purpose after the requests (items given, dinos spawned,
  // destroyed actors not yet collected); the check allows that many more live blocks.
  void ExpectBlocksKept(int64_t count) { blocks_kept_ += count; }

  void TearDown() override { CheckBlocks(); }

 private:
  void CheckBlocks();

  std::unique_ptr<TestWorld> world_;
  int64_t blocks_before_ = 0;
  int64_t blocks_kept_ = 0;
};

}  // namespace support
