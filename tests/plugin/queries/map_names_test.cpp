#include "queries/map_names.h"

#include <gtest/gtest.h>

#include "tests/support/test_host.h"

namespace {

TEST(MapDisplayName, FirstKeyFoundWinsIgnoringCase) {
  support::TestHost host;
  const int64_t before = host.live_blocks();
  struct Case {
    const char16_t* map;
    const char16_t* display;
  };
  for (const Case& c : std::initializer_list<Case>{
           {u"TheIsland_WP", u"The Island"},
           {u"Aberration_P", u"Aberration"},
           {u"aberration_p", u"Aberration"},
           {u"Gen2", u"Genesis II"},
           {u"Genesis_Gen2", u"Genesis I"},  // "Genesis" stands before "Gen2"
           {u"Viking_P", u"Fjordur"},
           {u"MyCustomMap", u"MyCustomMap"},
           {u"", u""},
       }) {
    EXPECT_EQ(orvane::MapDisplayName(FString(c.map)).View(), std::u16string_view(c.display))
        << std::string(c.map, c.map + std::char_traits<char16_t>::length(c.map));
  }
  EXPECT_EQ(host.live_blocks(), before);
}

}  // namespace
