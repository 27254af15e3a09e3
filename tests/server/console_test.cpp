#include "server/console.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

namespace server {
namespace {

class ConsoleTest : public ::testing::Test {
 protected:
  ConsoleTest() { EXPECT_EQ(pipe(fds_), 0); }
  ~ConsoleTest() override {
    close(fds_[0]);
    if (fds_[1] >= 0) close(fds_[1]);
  }
  void Write(std::string_view text) {
    ASSERT_EQ(write(fds_[1], text.data(), text.size()), static_cast<ssize_t>(text.size()));
  }
  void CloseInput() {
    close(fds_[1]);
    fds_[1] = -1;
  }
  std::vector<std::string> WaitForLines(std::size_t n) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(5), [&] { return lines_.size() >= n; });
    return lines_;
  }
  ConsoleReader Reader() {
    return ConsoleReader(fds_[0], [this](std::string line) {
      std::lock_guard lock(mutex_);
      lines_.push_back(std::move(line));
      changed_.notify_all();
    });
  }

  int fds_[2] = {-1, -1};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> lines_;
};

TEST_F(ConsoleTest, LinesArriveWithoutLineEndsAndALastUnterminatedLineCounts) {
  auto reader = Reader();
  Write("GetOnlineNum\r\nListOnline");
  Write("Players\n\nemu.state");
  CloseInput();
  EXPECT_EQ(WaitForLines(4),
            (std::vector<std::string>{"GetOnlineNum", "ListOnlinePlayers", "", "emu.state"}));
}

TEST_F(ConsoleTest, DestructionDoesNotWaitForInput) {
  { auto reader = Reader(); }
  SUCCEED();
}

}  // namespace
}  // namespace server
