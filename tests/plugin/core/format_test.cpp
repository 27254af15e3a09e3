#include "core/format.h"

#include <gtest/gtest.h>

#include "core/narrow.h"
#include "tests/support/test_host.h"

namespace {

class FormatTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(host_.live_blocks(), before_); }
  support::TestHost host_;
  int64_t before_ = host_.live_blocks();
};

TEST_F(FormatTest, BracesFillInOrder) {
  EXPECT_EQ(orvane::Format(u"Tribe ID: {}", uint64_t{18446744073709551615ull}).View(),
            u"Tribe ID: 18446744073709551615");
  EXPECT_EQ(orvane::Format(u"{} - ({}), {}", FString(u"Al"), std::string("PD"), -3).View(),
            u"Al - (PD), -3");
  EXPECT_EQ(orvane::Format(u"OK - Serverframes: {}", 120.0f).View(), u"OK - Serverframes: 120");
  EXPECT_EQ(orvane::Format(u"{} and {}", 1).View(), u"1 and {}");
}

TEST_F(FormatTest, PrintfHasNoLengthLimit) {
  EXPECT_EQ(orvane::PrintfFormat(u"X=%3.3f Y=%3.3f Z=%3.3f", 1.0, -250.5, 0.0).View(),
            u"X=1.000 Y=-250.500 Z=0.000");
  std::u16string long_format(2000, u'a');
  long_format += u"%d";
  EXPECT_EQ(orvane::PrintfFormat(long_format.c_str(), 7).Len(), 2001);
}

TEST_F(FormatTest, NarrowingReplacesEveryNonAsciiUnit) {
  EXPECT_EQ(orvane::ToNarrowString(FString(u"Zo\u00eb")), "Zo?");
  EXPECT_EQ(orvane::ToNarrowString(FString(u"a\U0001F600b")), "a??b") << "each surrogate half";
  EXPECT_EQ(orvane::ToNarrowString(FString()), "");
  EXPECT_EQ(orvane::ToNarrowString(std::u16string_view(u"ab\0cd", 5)), "ab");
}

}  // namespace
