#include "tests/support/command_test.h"

namespace support {

CommandTest::~CommandTest() = default;

TestWorld& CommandTest::UseWorld(std::string_view world_json, TestWorld::Options options) {
  if (world_ != nullptr) CheckBlocks();
  world_.reset();
  world_ = std::make_unique<TestWorld>(world_json, options);
  blocks_before_ = world_->live_blocks();
  blocks_kept_ = 0;
  return *world_;
}

void CommandTest::ExpectReplies(const std::vector<Exchange>& exchanges) {
  for (const Exchange& exchange : exchanges) {
    EXPECT_EQ(Replies(exchange.line), exchange.replies)
        << std::string(exchange.line.begin(), exchange.line.end());
  }
}

void CommandTest::ExpectRepliesOnWorlds(const std::vector<WorldExchanges>& cases) {
  for (const WorldExchanges& c : cases) {
    SCOPED_TRACE(c.world_json);
    UseWorld(c.world_json);
    ExpectReplies(c.exchanges);
  }
}

void CommandTest::CheckBlocks() {
  if (world_ == nullptr) return;
  EXPECT_EQ(world_->live_blocks(), blocks_before_ + blocks_kept_)
      << "live blocks of the allocator after the test's requests";
}

}  // namespace support
