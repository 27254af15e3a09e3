#include "server/utf.h"

#include <gtest/gtest.h>

namespace server {
namespace {

TEST(Utf, ValidTextRoundTrips) {
  for (const std::string text : {"", "GetPlayerPos 00021a2b3c4d", "Zoë", "日本語", "🦖 raptor"}) {
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(Utf16ToUtf8(wide), text) << text;
  }
  EXPECT_EQ(Utf8ToUtf16("🦖"), std::u16string(u"\xD83E\xDD96")) << "a surrogate pair";
}

TEST(Utf, BadUtf8BecomesReplacementCharacters) {
  struct Case {
    std::string in;
    std::u16string out;
  };
  for (const Case& c : std::vector<Case>{
           {"a\xff"
            "b",
            u"a\uFFFDb"},
           {"\xc3", u"\uFFFD"},  // cut short at the end
           {"\xc3"
            "a",
            u"\uFFFDa"},                     // cut short by an ASCII byte
           {"\xc0\xaf", u"\uFFFD\uFFFD"},    // overlong lead byte
           {"\xe0\x80\xaf", u"\uFFFD"},      // overlong three-byte form
           {"\xed\xa0\x80", u"\uFFFD"},      // an encoded surrogate
           {"\xf4\x90\x80\x80", u"\uFFFD"},  // beyond U+10FFFF
       }) {
    EXPECT_EQ(Utf8ToUtf16(c.in), c.out) << testing::PrintToString(c.in);
  }
}

TEST(Utf, LoneSurrogatesBecomeReplacementCharacters) {
  EXPECT_EQ(Utf16ToUtf8(u"a\xD800"
                        u"b"),
            "a\xEF\xBF\xBD"
            "b");
  EXPECT_EQ(Utf16ToUtf8(u"\xDC00"), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace server
