#include "core/command_args.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace {

TEST(CommandArgs, RunsOfSpacesGiveNoEmptyWords) {
  support::TestHost host;
  const int64_t before = host.live_blocks();
  {
    orvane::CommandArgs args{FString(u"KillDino   11  -1 ")};
    ASSERT_EQ(args.Num(), 3);
    EXPECT_EQ(args.Text(0).View(), u"KillDino");
    EXPECT_EQ(args.Stoi(1), 11);
    EXPECT_EQ(args.Stoi(2), -1);
    orvane::CommandArgs only_name{FString(u"GetPlayerPos    ")};
    EXPECT_EQ(only_name.Num(), 1);
  }
  EXPECT_EQ(host.live_blocks(), before);
}

TEST(CommandArgs, WordsAreCopiesOfTheBody) {
  support::TestHost host;
  FString body(u"Say hello");
  orvane::CommandArgs args{body};
  body = u"changed";
  EXPECT_EQ(args.Text(1).View(), u"hello");
}

}  // namespace
