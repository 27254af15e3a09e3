#include "queries/map_names.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "framework/host/running_game.h"
#include "tests/support/test_world.h"

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

TEST(SaveDirectories, BinariesFolderReplacedIgnoringCase) {
  support::TestWorld world(nlohmann::json{{"save_directory", "Cluster/Main\u00e9"}}.dump());
  framework::SetCurrentDir("\\srv\\w\\binaries\\WIN64");
  const int64_t before = world.live_blocks();
  {
    const orvane::SaveDirectories dirs = orvane::ResolveSaveDirectories();
    EXPECT_EQ(dirs.save_subpath.View(), u"\\Saved\\Cluster\\Main?");
    EXPECT_EQ(dirs.save_folder.View(), u"\\srv\\w\\Saved\\Cluster\\Main?");
    EXPECT_EQ(dirs.map_folder.View(), u"\\srv\\w\\Saved\\Cluster\\Main?\\TheIsland_WP");
    EXPECT_EQ(dirs.cluster_folder.View(), u"\\srv\\w\\Saved\\Cluster\\Main?\\Cluster");
  }
  EXPECT_EQ(world.host().log().Count("Got save directory: \"Cluster\\Main?\""), 1);
  EXPECT_EQ(world.host().log().Count("Server save folder: \"\\srv\\w\\Saved\\Cluster\\Main?\""), 1);
  EXPECT_EQ(world.live_blocks(), before);

  framework::SetCurrentDir("");
  EXPECT_EQ(orvane::ResolveSaveDirectories().save_folder.View(), u"");
  framework::SetCurrentDir("\\elsewhere");
  EXPECT_EQ(orvane::ResolveSaveDirectories().map_folder.View(), u"\\elsewhere\\TheIsland_WP");
  framework::SetCurrentDir("");
}

}  // namespace
