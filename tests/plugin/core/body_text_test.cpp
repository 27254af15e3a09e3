// The two ways a command cuts its text out of the request body.
#include "core/body_text.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace {

using orvane::RemoveEverywhere;
using orvane::RemoveFromStart;

class BodyText : public ::testing::Test {
 protected:
  support::TestHost host_;  // the game's allocator behind every FString
};

TEST_F(BodyText, RemoveFromStartCutsOneLeadingPrefixIgnoringCase) {
  EXPECT_EQ(RemoveFromStart(FString(u"say Bob  hi"), FString(u"Say Bob ")).View(), u" hi");
  EXPECT_EQ(RemoveFromStart(FString(u"Say Say hi"), FString(u"Say")).View(), u" Say hi")
      << "one occurrence only";
  EXPECT_EQ(RemoveFromStart(FString(u"Say  Bob hi"), FString(u"Say Bob ")).View(), u"Say  Bob hi")
      << "a prefix not at the start leaves the whole body";
  EXPECT_EQ(RemoveFromStart(FString(u"Say"), FString(u"Say")).View(), u"");
}

TEST_F(BodyText, RemoveEverywhereCutsEveryOccurrenceIgnoringCase) {
  EXPECT_EQ(RemoveEverywhere(FString(u"Log 5 a LOG 5 b log 5"), FString(u"Log 5")).View(),
            u" a  b ");
  EXPECT_EQ(RemoveEverywhere(FString(u"SSayay"), FString(u"Say")).View(), u"Say")
      << "what the removal joins is not searched again";
  EXPECT_EQ(RemoveEverywhere(FString(u"Log 05 x"), FString(u"Log 5")).View(), u"Log 05 x");
  EXPECT_EQ(RemoveEverywhere(FString(u"\u00c9t\u00e9 x"), FString(u"\u00e9t\u00e9")).View(),
            u"\u00c9t\u00e9 x")
      << "only the letters a to z are folded";
}

}  // namespace
