#include "sdk/fstring.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace {

class FStringTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(host_.live_blocks(), blocks_before_); }
  support::TestHost host_;
  int64_t blocks_before_ = host_.live_blocks();
};

std::u16string Words(const FString& line) {
  TArray<FString> words;
  line.ParseIntoArray(words, u" ", true);
  std::u16string joined;
  // Appended piece by piece: a literal prepended to a temporary string (u"[" + std::u16string)
  // sets off a false -Wrestrict in GCC 12 at -O3.
  for (const FString& w : words) {
    joined += u'[';
    joined += w.View();
    joined += u']';
  }
  return joined;
}

TEST_F(FStringTest, SplitDropsEmptyWordsAndKeepsTabs) {
  EXPECT_EQ(Words(FString(u"GetPlayerPos  abc")), u"[GetPlayerPos][abc]");
  EXPECT_EQ(Words(FString(u"  a   b  ")), u"[a][b]");
  EXPECT_EQ(Words(FString(u"a\tb c")), u"[a\tb][c]");
  EXPECT_EQ(Words(FString(u"   ")), u"");
  EXPECT_EQ(Words(FString()), u"");
}

TEST_F(FStringTest, SuffixAndSearchHonourCase) {
  FString path(u"/Game/Thing.Default__Thing_c");
  EXPECT_TRUE(path.EndsWith(u"_C", ESearchCase::IgnoreCase));
  EXPECT_FALSE(path.EndsWith(u"_C", ESearchCase::CaseSensitive));
  EXPECT_FALSE(path.EndsWith(u"", ESearchCase::IgnoreCase)) << "an empty suffix never matches";
  EXPECT_EQ(path.Find(u"thing", ESearchCase::IgnoreCase), 6);
  EXPECT_EQ(path.Find(u"thing", ESearchCase::IgnoreCase, ESearchDir::FromEnd), 21);
  EXPECT_EQ(path.Find(u"thing", ESearchCase::CaseSensitive), -1);
}

TEST_F(FStringTest, ReplaceDoesNotRescanReplacements) {
  FString text(u"aXbxc");
  EXPECT_EQ(text.Replace(u"x", u"xx", ESearchCase::IgnoreCase).View(), u"axxbxxc");
  EXPECT_EQ(text.Replace(u"x", u"-", ESearchCase::CaseSensitive).View(), u"aXb-c");
  FString in_place(u"\\srv\\Binaries\\Win64");
  EXPECT_EQ(in_place.ReplaceInline(u"\\binaries\\win64", u"\\Saved\\S"), 1);
  EXPECT_EQ(in_place.View(), u"\\srv\\Saved\\S");
}

TEST_F(FStringTest, TrimQuotesAndPrefixRemoval) {
  EXPECT_EQ(FString(u"\"hello\"").TrimQuotes().View(), u"hello");
  EXPECT_EQ(FString(u"\"hello").TrimQuotes().View(), u"hello");
  EXPECT_EQ(FString(u"\"").TrimQuotes().View(), u"");
  FString text(u"Blueprint'x'");
  EXPECT_TRUE(text.RemoveFromStart(u"Blueprint'"));
  EXPECT_EQ(text.View(), u"x'");
  EXPECT_FALSE(text.RemoveFromStart(u"zzz"));
}

TEST_F(FStringTest, StrnicmpFoldsOnlyAscii) {
  EXPECT_EQ(FGenericPlatformStricmp::Strnicmp(u"HeLLo", u"hello", 5), 0);
  EXPECT_NE(FGenericPlatformStricmp::Strnicmp(u"\u00e9", u"\u00c9", 1), 0);
  EXPECT_EQ(FGenericPlatformStricmp::Strnicmp(u"abcX", u"ABCy", 3), 0);
}

TEST_F(FStringTest, ArraysOfStringsReleaseEveryBlock) {
  TArray<FString> words;
  for (int i = 0; i < 100; ++i) words.Add(FString(u"word"));
  TArray<FString> copy = words;
  copy.RemoveAt(3);
  EXPECT_EQ(copy.Num(), 99);
  EXPECT_GT(host_.live_blocks(), blocks_before_);
}

}  // namespace
