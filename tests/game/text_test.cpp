#include "game/util/text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, Utf8AndUtf16RoundTripAndBadInputBecomesReplacement) {
  struct Case {
    std::string utf8;
    std::u16string utf16;
  };
  const Case valid[] = {
      {"", u""},
      {"Alice", u"Alice"},
      {"\xC3\xA9t\xC3\xA9", u"\u00e9t\u00e9"},
      {"\xD0\x94\xD0\xBC", u"\u0414\u043c"},
      {"\xE2\x82\xAC", u"\u20ac"},
      {"\xF0\x9F\xA6\x96", u"\U0001F996"},  // a surrogate pair
  };
  for (const Case& c : valid) {
    EXPECT_EQ(game::ToUtf16(c.utf8), c.utf16) << c.utf8;
    EXPECT_EQ(game::ToUtf8(c.utf16), c.utf8) << c.utf8;
  }
  const Case invalid[] = {
      {"a\xFF"
       "b",
       u"a\ufffdb"},                                      // no lead byte
      {"\xC3", u"\ufffd"},                                // cut short at the end
      {"\xC3(", u"\ufffd("},                              // not a continuation
      {"\xC0\xAF", u"\ufffd\ufffd"},                      // overlong
      {"\xED\xA0\x80", u"\ufffd\ufffd\ufffd"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},  // beyond U+10FFFF
  };
  for (const Case& c : invalid) EXPECT_EQ(game::ToUtf16(c.utf8), c.utf16) << c.utf8;
  EXPECT_EQ(game::ToUtf8(std::u16string(1, u'\xD800')), "\xEF\xBF\xBD") << "a lone surrogate";
}

TEST(Text, CaseFoldingTouchesAsciiLettersOnly) {
  EXPECT_TRUE(game::EqualsIgnoringCase(u"Blueprint'/Game/A'", u"BLUEPRINT'/game/a'"));
  EXPECT_FALSE(game::EqualsIgnoringCase(u"\u00e9", u"\u00c9"));
  EXPECT_FALSE(game::EqualsIgnoringCase(u"ab", u"abc"));
}

}  // namespace
