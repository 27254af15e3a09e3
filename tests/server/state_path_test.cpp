#include "server/state_path.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace server {
namespace {

namespace fs = std::filesystem;

class RemoteStatePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orvane-state-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    folder_ = StateFolder(root_);
    fs::create_directories(folder_ / "sub");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path root_;
  fs::path folder_;
};

TEST_F(RemoteStatePathTest, NamesInsideTheStateFolderAreTaken) {
  EXPECT_EQ(folder_, root_ / "state");
  EXPECT_EQ(RemoteStatePath("a.json", folder_), fs::canonical(folder_) / "a.json");
  EXPECT_EQ(RemoteStatePath("sub/./b.json", folder_), fs::canonical(folder_) / "sub" / "b.json");
  EXPECT_EQ(RemoteStatePath("sub/../c.json", folder_), fs::canonical(folder_) / "c.json");
  EXPECT_EQ(RemoteStatePath((folder_ / "d.json").string(), folder_),
            fs::canonical(folder_) / "d.json");
}

TEST_F(RemoteStatePathTest, PathsLeadingOutsideAreRefused) {
  for (const std::string& file : {std::string("/etc/passwd"), std::string("../escape.json"),
                                  std::string("sub/../../x"), std::string(""), std::string("."),
                                  (root_ / "state2" / "x").string(), (root_ / "x.json").string()})
    EXPECT_FALSE(RemoteStatePath(file, folder_)) << file;
}

TEST_F(RemoteStatePathTest, SymbolicLinksAreFollowedBeforeTheCheck) {
  fs::create_directory_symlink(root_, folder_ / "up");
  fs::create_symlink(root_ / "outside.json", folder_ / "link.json");
  EXPECT_FALSE(RemoteStatePath("up/x.json", folder_));
  EXPECT_FALSE(RemoteStatePath("link.json", folder_));
}

// A name checked while it was a plain file or folder and swapped for a link before the write:
// the write replaces the link or fails, and the file outside keeps its text.
TEST_F(RemoteStatePathTest, WritesNeverFollowALinkSwappedInAfterTheCheck) {
  const fs::path outside = root_ / "outside.json";
  for (const std::string& file : {std::string("race.json"), std::string("sub/race.json")}) {
    std::ofstream(outside) << "outside";
    std::ofstream(folder_ / "race.json") << "old";
    const auto path = RemoteStatePath(file, folder_);
    ASSERT_TRUE(path) << file;
    fs::remove(folder_ / "race.json");
    fs::create_symlink(outside, folder_ / "race.json");
    fs::rename(folder_ / "sub", root_ / "sub");
    fs::create_directory_symlink(root_ / "sub", folder_ / "sub");
    std::ofstream(root_ / "sub" / "race.json") << "outside";
    WriteBeneath(folder_, *path, "state");
    std::ifstream in(file == "race.json" ? outside : root_ / "sub" / "race.json");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "outside") << file;
    fs::remove(folder_ / "sub");
    fs::rename(root_ / "sub", folder_ / "sub");
    fs::remove(folder_ / "race.json");
  }
  ASSERT_TRUE(WriteBeneath(folder_, *RemoteStatePath("sub/new.json", folder_), "state"));
  std::ifstream in(folder_ / "sub" / "new.json");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "state");
}

// A write that cannot replace its target (here a folder) fails and leaves no temporary file.
TEST_F(RemoteStatePathTest, AFailedWriteLeavesNothingBehind) {
  EXPECT_FALSE(WriteBeneath(folder_, folder_ / "sub", "state"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

}  // namespace
}  // namespace server
