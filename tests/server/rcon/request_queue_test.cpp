#include "server/rcon/request_queue.h"

#include <gtest/gtest.h>

namespace server::rcon {
namespace {

class RequestQueueTest : public ::testing::Test {
 protected:
  void Push(SessionId session, const std::string& body) {
    EXPECT_EQ(queue_.Push({session, 0, 2, body}), RequestQueue::PushResult::kAccepted);
  }
  // The bodies Take gives until it gives none.
  std::vector<std::string> TakeAll() {
    std::vector<std::string> bodies;
    while (auto request = queue_.Take()) {
      bodies.push_back(request->body);
      queue_.Finished(request->session);
    }
    return bodies;
  }

  RequestQueue queue_{{4, 1000, 100}};
};

TEST_F(RequestQueueTest, ConnectionsTakeTurnsAndEachKeepsItsOrder) {
  for (SessionId s : {1, 2, 3}) queue_.Open(s);
  for (const char* body : {"a1", "a2", "a3"}) Push(1, body);
  Push(2, "b1");
  Push(3, "c1");
  Push(3, "c2");
  EXPECT_EQ(TakeAll(), (std::vector<std::string>{"a1", "b1", "c1", "a2", "c2", "a3"}));
  EXPECT_FALSE(queue_.Ready());
}

TEST_F(RequestQueueTest, ALateComerWaitsForOneRequestOfEachBacklog) {
  for (SessionId s : {1, 2}) queue_.Open(s);
  for (const char* body : {"a1", "a2", "a3", "a4"}) Push(1, body);
  EXPECT_EQ(queue_.Take()->body, "a1");
  Push(2, "b1");
  EXPECT_EQ(TakeAll(), (std::vector<std::string>{"a2", "b1", "a3", "a4"}));
}

TEST_F(RequestQueueTest, ClosingDropsWaitingRequests) {
  for (SessionId s : {1, 2}) queue_.Open(s);
  Push(1, "dead1");
  Push(1, "dead2");
  Push(2, "alive");
  queue_.Close(1);
  EXPECT_EQ(TakeAll(), (std::vector<std::string>{"alive"}));
  EXPECT_EQ(queue_.Push({1, 0, 2, "late"}), RequestQueue::PushResult::kUnknown);
  EXPECT_EQ(queue_.AddUnread(1, 10), RequestQueue::ReplyResult::kUnknown);
  EXPECT_EQ(queue_.Room(1), 0u);
}

TEST_F(RequestQueueTest, AConnectionHasAtMostMaxQueuedWaiting) {
  queue_.Open(1);
  for (int i = 0; i < 4; ++i) Push(1, "x");
  EXPECT_EQ(queue_.Push({1, 0, 2, "one too many"}), RequestQueue::PushResult::kFull);
  queue_.Take();
  Push(1, "room again");
}

TEST_F(RequestQueueTest, UnreadRepliesPastTheHoldLevelHoldBackOnlyThatConnection) {
  for (SessionId s : {1, 2}) queue_.Open(s);
  EXPECT_EQ(queue_.AddUnread(1, 101), RequestQueue::ReplyResult::kAccepted);
  Push(1, "lazy");
  Push(2, "b1");
  Push(2, "b2");
  EXPECT_TRUE(queue_.Ready());
  EXPECT_EQ(TakeAll(), (std::vector<std::string>{"b1", "b2"}));
  EXPECT_FALSE(queue_.Ready());
  EXPECT_FALSE(queue_.Busy(1)) << "held: it waits for its client, not for the game";
  EXPECT_FALSE(queue_.ReleaseUnread(1, 0)) << "still held";
  EXPECT_TRUE(queue_.ReleaseUnread(1, 1)) << "down to the hold level: wake the game thread";
  EXPECT_TRUE(queue_.Busy(1));
  EXPECT_EQ(queue_.Take()->body, "lazy");
  EXPECT_TRUE(queue_.Busy(1)) << "running";
  queue_.Finished(1);
  EXPECT_FALSE(queue_.Busy(1));
}

TEST_F(RequestQueueTest, RepliesMayNotTakeTheUnreadBytesPastTheLimit) {
  queue_.Open(1);
  EXPECT_EQ(queue_.Room(1), 1000u);
  EXPECT_EQ(queue_.AddUnread(1, 600), RequestQueue::ReplyResult::kAccepted);
  EXPECT_EQ(queue_.Room(1), 400u);
  EXPECT_EQ(queue_.AddUnread(1, 401), RequestQueue::ReplyResult::kOverLimit);
  EXPECT_EQ(queue_.Unread(1), 600u) << "a refused reply is not counted";
  EXPECT_EQ(queue_.AddUnread(1, 400), RequestQueue::ReplyResult::kAccepted);
  queue_.ReleaseUnread(1, 5000);
  EXPECT_EQ(queue_.Unread(1), 0u);
}

}  // namespace
}  // namespace server::rcon
