#include "framework/host/command_registry.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/support/test_host.h"

namespace {

class CommandRegistryTest : public ::testing::Test {
 protected:
  void TearDown() override {
    framework::RemoveEntriesOf("host");
    framework::RemoveEntriesOf("owner-a");
  }
  support::TestHost host_;
  HostApi::ICommands& commands_ = HostApi::GetCommands();
};

TEST_F(CommandRegistryTest, DispatchMatchesTheFirstWordIgnoringCase) {
  int calls = 0;
  commands_.AddRconCommand(FString("Echo"), [&](RCONClientConnection* c, RCONPacket* p, UWorld*) {
    ++calls;
    game::RconConnection::FromHandle(c)->Send(
        {p->Id, p->Type, u"got " + std::u16string(p->Body.View())});
  });
  auto replies = host_.Dispatch(u"  eCHO a  b", 41, 2);
  EXPECT_EQ(calls, 1);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].id, 41);
  EXPECT_EQ(replies[0].text, u"got   eCHO a  b") << "the handler sees the body untouched";
  EXPECT_TRUE(host_.Dispatch(u"EchoX").front().text == u"Unknown command: EchoX");
}

TEST_F(CommandRegistryTest, EmptyBodyGetsOneEmptyReplyWithItsId) {
  for (const std::u16string body : {u"", u"   "}) {
    auto replies = host_.Dispatch(body, 99, 2);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].id, 99);
    EXPECT_TRUE(replies[0].text.empty());
  }
}

TEST_F(CommandRegistryTest, EscapingExceptionsAreLoggedNotRethrown) {
  commands_.AddRconCommand(FString("Boom"), [](RCONClientConnection*, RCONPacket*, UWorld*) {
    throw std::runtime_error("kaboom");
  });
  commands_.AddOnTimerCallback(FString("Tick"), [] { throw 42; });
  EXPECT_NO_THROW(host_.Dispatch(u"Boom"));
  EXPECT_NO_THROW(framework::TickTimers());
  EXPECT_EQ(host_.log().Count("kaboom"), 1);
  EXPECT_EQ(host_.log().Count("unknown exception"), 1);
}

TEST_F(CommandRegistryTest, DuplicatesAreRefusedAndOwnersRemoveOnlyTheirs) {
  auto noop = [](RCONClientConnection*, RCONPacket*, UWorld*) {};
  {
    framework::OwnerScope scope("owner-a");
    commands_.AddRconCommand(FString("Mine"), noop);
    commands_.AddOnTimerCallback(FString("MyTimer"), [] {});
  }
  commands_.AddRconCommand(FString("MINE"), noop);
  commands_.AddRconCommand(FString("Theirs"), noop);
  EXPECT_EQ(host_.log().Count("already registered"), 1);
  EXPECT_EQ(framework::RemoveEntriesOf("owner-a"), 2);
  EXPECT_FALSE(framework::HasRconCommand(u"mine"));
  EXPECT_TRUE(framework::HasRconCommand(u"theirs"));
}

TEST_F(CommandRegistryTest, TimerCallbacksMayRemoveThemselves) {
  int runs = 0;
  commands_.AddOnTimerCallback(FString("Once"), [&] {
    ++runs;
    HostApi::GetCommands().RemoveOnTimerCallback(FString("Once"));
  });
  framework::TickTimers();
  framework::TickTimers();
  EXPECT_EQ(runs, 1);
}

}  // namespace
