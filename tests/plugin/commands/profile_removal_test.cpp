// Profile removal, dispatched through the loaded plugin on a world with a server root.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/command_test.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

class ProfileRemoval : public support::CommandTest {
 protected:
  ProfileRemoval()
      : CommandTest(
            nlohmann::json{{"save_directory", "Saved/Worlds"}, {"profiles", {"e1", "Zo?"}}}.dump(),
            {.load_plugin = true, .make_root = true}),
        start_(fs::current_path()) {}
  // The command moves the process's current directory; the next test starts where this began.
  ~ProfileRemoval() override { fs::current_path(start_); }

  // The map folder as the replies show it: the host's backslash form.
  std::string HostFolder() {
    std::string folder = world().root() + "/Saved/Saved/Worlds/TheIsland_WP";
    for (char& c : folder)
      if (c == '/') c = '\\';
    return folder;
  }
  fs::path Profile(const std::string& eos) {
    return fs::path(world().root()) / "Saved/Saved/Worlds/TheIsland_WP" / (eos + ".playerprofile");
  }
  int Logged(const std::string& text) { return world().host().log().Count(text); }

  fs::path start_;
};

TEST_F(ProfileRemoval, RemovesTheProfileAndStaysInItsFolder) {
  ASSERT_TRUE(fs::exists(Profile("e1")));
  const std::string reply =
      "Successfully removed: \"e1.playerprofile\" in: \"" + HostFolder() + "\"";
  EXPECT_EQ(Replies(u"DestroyPlayerProfile e1 ignored"), Strings{reply});
  EXPECT_FALSE(fs::exists(Profile("e1")));
  EXPECT_TRUE(fs::exists(Profile("Zo?")));
  EXPECT_EQ(fs::current_path(), Profile("e1").parent_path());
  EXPECT_EQ(Logged("Got save directory: \"Saved\\Worlds\""), 1);
  EXPECT_EQ(Logged("File to be removed: \"e1.playerprofile\""), 1);
  EXPECT_EQ(Logged("Full file path: \"" + HostFolder() + "\""), 1);
  EXPECT_EQ(Logged("[info] " + reply), 1);

  EXPECT_EQ(Replies(u"DestroyPlayerProfile e1"),
            Strings{"Couldn't find \"e1.playerprofile\" in: \"" + HostFolder() + "\""});
}

TEST_F(ProfileRemoval, NamesAreNarrowedBeforeTheyBecomePaths) {
  EXPECT_TRUE(Replies(u"DestroyPlayerProfile Zo\u00eb")
                  .at(0)
                  .starts_with("Successfully removed: \"Zo?.playerprofile\""));
  EXPECT_FALSE(fs::exists(Profile("Zo?")));
  EXPECT_TRUE(Replies(u"DestroyPlayerProfile " + std::u16string(300, u'x'))
                  .at(0)
                  .starts_with("Couldn't find"))
      << "a name too long for the file system is simply not there";
}

// A word that is no bare file name once removed files anywhere the path led.
TEST_F(ProfileRemoval, AWordWithAPathPieceOrControlCharacterNamesNoProfile) {
  const fs::path root(world().root());
  const std::u16string absolute(root.u16string() + u"/victim");
  std::ofstream(Profile("e\x01"));
  struct Case {
    std::u16string word;
    fs::path kept;
  };
  for (const Case& c :
       std::vector<Case>{{u"../../../../victim", root / "victim.playerprofile"},
                         {absolute, root / "victim.playerprofile"},
                         {u"..\\..\\..\\..\\victim", root / "victim.playerprofile"},
                         {std::u16string(u"../../../../secret.txt\0", 23), root / "secret.txt"},
                         {u"e\x01", Profile("e\x01")}}) {
    std::ofstream(c.kept).put('x');
    const Strings replies = Replies(u"DestroyPlayerProfile " + c.word);
    const std::string printed(c.word.begin(), c.word.end());
    ASSERT_EQ(replies.size(), 1u) << printed;
    EXPECT_EQ(replies[0].rfind("Couldn't find \"", 0), 0u) << printed;
    EXPECT_TRUE(replies[0].ends_with("\" in: \"" + HostFolder() + "\"")) << printed;
    EXPECT_TRUE(fs::exists(c.kept)) << printed;
  }
}

TEST_F(ProfileRemoval, AMissingMapFolderIsAFileSystemError) {
  fs::remove_all(Profile("e1").parent_path());
  const Strings replies = Replies(u"DestroyPlayerProfile e1");
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].rfind("Failed when removing got error: ", 0), 0u) << replies[0];
  EXPECT_GT(replies[0].size(), std::string("Failed when removing got error: ").size());
  EXPECT_EQ(Logged("[info] " + replies[0]), 1);
  EXPECT_EQ(fs::current_path(), start_);
}

}  // namespace
