// World dump commands, dispatched through the loaded plugin on a world with a server root; the
// dump files are read back from the plugin's folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;

constexpr support::TestWorld::Options kWithRoot{.load_plugin = true, .make_root = true};

std::string Generated(const std::string& file) {
  return " - Successfully generated file '" + file + "' in plugins root folder!";
}

// Level order: three raptors and a rex, four structures (one of team 0), two actors whose
// classes differ only in letter case (and whose paths do too).
constexpr const char* kDumpWorld = R"({
  "classes": [
    {"name": "Raptor_Character_BP_C", "kind": "dino",
     "path": "/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP_C"},
    {"name": "StoneWall_C", "kind": "structure",
     "path": "/Game/Structures/StoneWall.Default__StoneWall_C"},
    {"name": "Crate_C", "kind": "actor", "path": "/Game/loot/Crate.Default__Crate_C"},
    {"name": "CRATE_C", "kind": "actor", "path": "/Game/LOOT/CRATE.Default__CRATE_C"}],
  "dinos": [
    {"class": "Raptor_Character_BP_C", "id1": 1, "id2": 1, "team": 1000001,
     "position": [1.5, -2.25, 3]},
    {"class": "Raptor_Character_BP_C", "id1": 2, "id2": 2, "position": [123456.7, 1234567, -0.5]},
    {"class": "Raptor_Character_BP_C", "id1": 3, "id2": 3},
    {"class": "Rex_Character_BP_C", "id1": 4, "id2": 4, "team": 1000001}],
  "structures": [
    {"class": "StoneWall_C", "team": 1000001, "position": [10, 20, 30]},
    {"class": "StoneWall_C", "team": 0},
    {"class": "WoodWall_C", "team": 1000002, "position": [-1, -2, -3]},
    {"class": "StoneWall_C", "team": 1000001}],
  "actors": [{"class": "Crate_C", "position": [5, 5, 5]}, {"class": "CRATE_C"}]})";

class WorldDumps : public support::CommandTest {
 protected:
  WorldDumps() : CommandTest(kDumpWorld, kWithRoot) {}

  std::string PathOf(const std::string& file) { return world().plugin_folder() + "/" + file; }
  // The file's bytes; "<missing>" when there is no such file.
  std::string Dump(const std::string& file) {
    std::ifstream in(PathOf(file), std::ios::binary);
    if (!in) return "<missing>";
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  void Plant(const std::string& file) { std::ofstream(PathOf(file)) << "old run\n"; }
};

// Each request in turn, its one reply and the bytes of its file afterwards.
TEST_F(WorldDumps, EachDumpRepliesAndWritesItsFile) {
  struct Case {
    std::u16string line;
    std::string reply;
    std::string file;
    std::string bytes;
  };
  Plant("ActorPos.txt");
  Plant("AllStructuresDump.txt");
  for (const Case& c : std::vector<Case>{
           // Without its word the file is still emptied.
           {u"GetActorPos  ", "Not enough arguments: GetActor <Class>", "ActorPos.txt", ""},
           {u"GetActorPos raptor_character_BP_c", "Found 3 actors!" + Generated("ActorPos.txt"),
            "ActorPos.txt",
            "Raptor_Character_BP_C - Location X=1.5 Y=-2.25 Z=3\n"
            "Raptor_Character_BP_C - Location X=123457 Y=1.23457e+06 Z=-0.5\n"
            "Raptor_Character_BP_C - Location X=0 Y=0 Z=0\n"},
           // Both classes whose names differ only in case; names keep the first spelling.
           {u"GetActorPos crate_c", "Found 2 actors!" + Generated("ActorPos.txt"), "ActorPos.txt",
            "Crate_C - Location X=5 Y=5 Z=5\nCrate_C - Location X=0 Y=0 Z=0\n"},
           // The whole name must match; a new request replaces the file.
           {u"GetActorPos Raptor", "Found 0 actors!" + Generated("ActorPos.txt"), "ActorPos.txt",
            ""},
           // Dinos and structures in level order.
           {u"GetAllActorsPos", "Found 8 Actors!" + Generated("AllActorsPos.txt"),
            "AllActorsPos.txt",
            "Raptor_Character_BP_C - X=1.500 Y=-2.250 Z=3.000\n"
            "Raptor_Character_BP_C - X=123456.700 Y=1234567.000 Z=-0.500\n"
            "Raptor_Character_BP_C - X=0.000 Y=0.000 Z=0.000\n"
            "Rex_Character_BP_C - X=0.000 Y=0.000 Z=0.000\n"
            "StoneWall_C - X=10.000 Y=20.000 Z=30.000\n"
            "StoneWall_C - X=0.000 Y=0.000 Z=0.000\n"
            "WoodWall_C - X=-1.000 Y=-2.000 Z=-3.000\n"
            "StoneWall_C - X=0.000 Y=0.000 Z=0.000\n"},
           // Class names that differ in case are counted under one key.
           {u"GetAllActors", "Found 10 Actors!" + Generated("AllActors.txt"), "AllActors.txt",
            "[Crate_C]: 2\n[Raptor_Character_BP_C]: 3\n[Rex_Character_BP_C]: 1\n"
            "[StoneWall_C]: 3\n[WoodWall_C]: 1\n"},
           // Ascending by count, ties by path ignoring case ("loot" before "Structures",
           // "Dinos" before "Structures"); the crate paths keep the first one's spelling.
           {u"GetAllActorsBp",
            "Found a total of 10 Actors and unique 5" + Generated("AllActorsBP.txt"),
            "AllActorsBP.txt",
            "[\"Blueprint'/Game/Emulated/Rex_Character_BP.Rex_Character_BP'\"]: 1,\n"
            "[\"Blueprint'/Game/Emulated/WoodWall.WoodWall'\"]: 1,\n"
            "[\"Blueprint'/Game/loot/Crate.Crate'\"]: 2,\n"
            "[\"Blueprint'/Game/Dinos/Raptor/Raptor_Character_BP.Raptor_Character_BP'\"]: 3,\n"
            "[\"Blueprint'/Game/Structures/StoneWall.StoneWall'\"]: 3,\n"},
           // Dino paths keep "Default__".
           {u"GetAllDinos", "Found 4 Dinos!" + Generated("AllDinos.txt"), "AllDinos.txt",
            "Blueprint'/Game/Dinos/Raptor/Raptor_Character_BP.Default__Raptor_Character_BP': "
            "Count 3\n"
            "Blueprint'/Game/Emulated/Rex_Character_BP.Default__Rex_Character_BP': Count 1\n"},
           // A line per structure outside team 0; extra words are ignored.
           {u"ListAllStructures whatever words",
            "Successfully generated file 'AllStructuresDump.txt' in plugins root folder!",
            "AllStructuresDump.txt",
            "Blueprint'/Game/Structures/StoneWall.StoneWall'\n"
            "Blueprint'/Game/Emulated/WoodWall.WoodWall'\n"
            "Blueprint'/Game/Structures/StoneWall.StoneWall'\n"},
       }) {
    const std::string line(c.line.begin(), c.line.end());
    EXPECT_EQ(Replies(c.line), Strings{c.reply}) << line;
    EXPECT_EQ(Dump(c.file), c.bytes) << line;
  }
}

TEST_F(WorldDumps, WithoutTheFolderEveryCommandRepliesAsUsual) {
  const std::u16string lines[] = {u"GetActorPos Crate_C",
                                  u"GetAllActorsPos",
                                  u"GetAllActors",
                                  u"GetAllActorsBp",
                                  u"GetAllDinos",
                                  u"ListAllStructures",
                                  u"ListAllStructuresInRadius 900 900 900 10"};
  std::vector<Strings> with_folder;
  for (const auto& line : lines) with_folder.push_back(Replies(line));
  std::filesystem::remove_all(world().plugin_folder());
  for (std::size_t i = 0; i < std::size(lines); ++i)
    EXPECT_EQ(Replies(lines[i]), with_folder[i]) << std::string(lines[i].begin(), lines[i].end());
  EXPECT_FALSE(std::filesystem::exists(world().plugin_folder())) << "no folder is made";
}

// Around the origin: two walls of one tribe, one of another, one of team 50000, one at the
// radius limit, and one of another class whose path differs from the walls' only in case.
std::string RadiusWorld(bool reports_world = true) {
  return std::string(R"({"world": )") + (reports_world ? "true" : "false") + R"(,
  "classes": [
    {"name": "StoneWall_C", "kind": "structure", "path": "/Game/S/StoneWall.Default__StoneWall_C"},
    {"name": "Wall2_C", "kind": "structure", "path": "/Game/S/STONEWALL.Default__STONEWALL_C"}],
  "dinos": [{"class": "Raptor_Character_BP_C", "team": 1000001}],
  "structures": [
    {"class": "StoneWall_C", "team": 1000001, "position": [100, 0, 0], "owner": "Zo\u00eb"},
    {"class": "StoneWall_C", "team": 1000001, "position": [0, 100, 0], "owner": "Bob"},
    {"class": "StoneWall_C", "team": 1000002, "position": [0, 0, 100], "owner": "Eve"},
    {"class": "StoneWall_C", "team": 50000, "position": [10, 0, 0]},
    {"class": "StoneWall_C", "team": 1000001, "position": [50000, 0, 0]},
    {"class": "Wall2_C", "team": 1000001, "position": [0, 0, -200]}]})";
}

// The reply repeats the file; a radius above the limit is refused and leaves the file.
TEST_F(WorldDumps, RadiusGroupsByTribeAndBlueprint) {
  EXPECT_EQ(Replies(u"ListAllStructuresInRadius 0 0 zero 10"), Strings{"Request has failed"});
  UseWorld(RadiusWorld(), kWithRoot);
  Plant("AllStructuresInRadiusDump.txt");
  EXPECT_EQ(Replies(u"ListAllStructuresInRadius 0 0 0 50000.5"),
            Strings{"Please don't do that. It will cause lags! Instead, Max value for radius is "
                    "50000."});
  EXPECT_EQ(Dump("AllStructuresInRadiusDump.txt"), "old run\n");
  const std::string stone = " - Blueprint'/Game/S/StoneWall.Default__StoneWall'";
  for (const auto& [line, text] : std::vector<std::pair<std::u16string, std::string>>{
           {u"ListAllStructuresInRadius 0 0 0 150",
            "Zo?(1000001)" + stone + "(2)\nEve(1000002)" + stone +
                "(1)\nStructures: 2 (Added) 1 (Updated) 3 (Total)"},
           {u"ListAllStructuresInRadius 0 0 0 50000 extra",
            "Zo?(1000001)" + stone + "(4)\nEve(1000002)" + stone +
                "(1)\nStructures: 2 (Added) 3 (Updated) 5 (Total)"},
           {u"ListAllStructuresInRadius 0 0 0 -5",
            "Structures: 0 (Added) 0 (Updated) 0 (Total)"}}) {
    EXPECT_EQ(Replies(line), Strings{text + Generated("AllStructuresInRadiusDump.txt")}) << text;
    EXPECT_EQ(Dump("AllStructuresInRadiusDump.txt"), text);
  }
  // Without a world the radius is not even looked at.
  UseWorld(RadiusWorld(/*reports_world=*/false), kWithRoot);
  ExpectReplies({{u"ListAllStructuresInRadius 0 0 0 10", {}},
                 {u"ListAllStructuresInRadius 0 0 0 60000", {}}});
  EXPECT_EQ(Dump("AllStructuresInRadiusDump.txt"), "<missing>");
}

}  // namespace
