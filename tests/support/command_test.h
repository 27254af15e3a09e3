// CommandTest: the fixture of the tests that dispatch plugin commands on a world of their own:
// the plugin loaded on the world, and, at tear-down, the allocator's live block count back
// where it was when the world was built.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/test_world.h"

namespace support {

class CommandTest : public ::testing::Test {
 protected:
  explicit CommandTest(std::string_view world_json);
  ~CommandTest() override;

  TestWorld& world() { return *world_; }
  // The reply texts of one request, as UTF-8.
  std::vector<std::string> Replies(const std::u16string& line) { return world_->Replies(line); }

  void TearDown() override;

 private:
  std::unique_ptr<TestWorld> world_;
  int64_t blocks_before_ = 0;
};

}  // namespace support
