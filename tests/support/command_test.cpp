#include "tests/support/command_test.h"

namespace support {

CommandTest::CommandTest(std::string_view world_json)
    : world_(std::make_unique<TestWorld>(world_json, TestWorld::Options{.load_plugin = true})),
      blocks_before_(world_->live_blocks()) {}

CommandTest::~CommandTest() = default;

void CommandTest::TearDown() {
  EXPECT_EQ(world_->live_blocks(), blocks_before_)
      << "live blocks of the allocator after the test's requests";
}

}  // namespace support
