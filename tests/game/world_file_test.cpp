#include "game/world/world_file_reader.h"
#include "game/world/world_file_writer.h"

#include <cmath>
#include <fstream>
#include <limits>

#include <gtest/gtest.h>

#include "game/memory/allocator.h"
#include "sdk/api.h"
#include "tests/support/test_world.h"

namespace {

using nlohmann::json;
using support::CallGame;
using support::FieldOf;
using support::TestWorld;

// The export's text up to its last key, "memory", whose counts differ between two live worlds.
std::string TextWithoutMemory(const std::string& state) {
  return state.substr(0, state.rfind("\"memory\""));
}

// Loading an export and exporting again gives the same bytes; and those bytes are what the JSON
// library writes for the same document (its spacing, number forms and escapes).
void ExpectStableExport(const std::string& exported) {
  EXPECT_EQ(exported, nlohmann::ordered_json::parse(exported).dump(
                          2, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
  auto reloaded = game::Game::Create(exported, "");
  EXPECT_EQ(TextWithoutMemory(reloaded->ExportState()), TextWithoutMemory(exported));
}

// A million keys in one object, a million empty objects, then a key given twice: quadratic work
// on any of them takes far longer than the test may.
std::string ManyKeysThenADuplicate() {
  std::string text = R"({"map": [{"k0": 0)";
  for (int i = 1; i < 1'000'000; ++i) text += ", \"k" + std::to_string(i) + "\": 0";
  text += "}";
  for (int i = 0; i < 1'000'000; ++i) text += ", {}";
  return text + R"(, {"k0": 0, "k0": 1}]})";
}

// The refused files of world_file_errors.txt, and two too large to write there.
TEST(WorldFile, ErrorsNameTheKeyAndItsPlace) {
  std::vector<std::pair<std::string, std::string>> cases = {
      {R"({"map": )" + std::string(100'000, '['), "nested deeper than 64 objects and lists"},
      {ManyKeysThenADuplicate(), "map[1000001].k0: duplicate key"}};
  std::ifstream file(ORVANE_WORLD_FILE_ERRORS);
  for (std::string line; std::getline(file, line);)
    if (!line.empty() && line[0] != '#')
      cases.emplace_back(json::parse(line).get<std::pair<std::string, std::string>>());
  ASSERT_GT(cases.size(), 40u);
  const int64_t blocks_before = game::CurrentAllocatorCounts().live_blocks;
  for (const auto& [world, message] : cases) {
    try {
      game::Game::Create(world, "");
      ADD_FAILURE() << "loaded: " << world.substr(0, 200);
    } catch (const game::WorldFileError& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos)
          << "world: " << world.substr(0, 200) << "\nmessage: " << e.what();
      EXPECT_EQ(std::string(e.what()).find("json.exception"), std::string::npos) << e.what();
    }
  }
  EXPECT_EQ(game::CurrentAllocatorCounts().live_blocks, blocks_before) << "nothing half-built";
}

TEST(WorldFile, DefaultsFollowTheRulesOfTheFile) {
  TestWorld world(R"({
    "tribes": [{"id": 1000001, "name": "Owls"}],
    "classes": [{"name": "Crate_C", "kind": "pawn"}],
    "players": [{"eos_id": "a", "team": 1000001, "player_id": 77},
                {"eos_id": "b", "team": 555},
                {"eos_id": "c", "stale": true},
                {"eos_id": "d", "tribe": 1000001}],
    "dinos": [{"class": "Raptor_Character_BP_C", "id1": 1, "id2": 1}, {}],
    "actors": [{"class": "Crate_C"}]
  })");
  const json state = world.State();
  const json& alice = state["players"][0];
  EXPECT_EQ(alice["tribe"], 1000001) << "the tribe defaults to a listed team";
  EXPECT_EQ(alice["linked_player_data_id"], 77);
  EXPECT_EQ(alice["player_name"], alice["character_name"]);
  EXPECT_TRUE(state["players"][1]["tribe"].is_null()) << "team 555 names no listed tribe";
  EXPECT_EQ(state["players"][3]["team"], 1000001) << "the team defaults to the tribe";
  EXPECT_EQ(state["game_state"]["players_connected"], 3) << "the stale player is not online";
  EXPECT_EQ(state["dinos"][0]["name"], "Raptor");
  EXPECT_NE(state["dinos"][1]["id2"], state["dinos"][0]["id2"]) << "generated ids are unique";
  EXPECT_EQ(state["actors"][0]["kind"], "pawn") << "the kind follows the listed class";

  auto* a = HostApi::GetApiUtils().FindPlayerByEosId(FString("a"));
  auto* b = HostApi::GetApiUtils().FindPlayerByEosId(FString("b"));
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(CallGame(sym::AShooterPlayerController::IsInTribe, a));
  EXPECT_FALSE(CallGame(sym::AShooterPlayerController::IsInTribe, b));
  EXPECT_EQ(HostApi::GetApiUtils().FindPlayerByEosId(FString("c")), nullptr);

  UObject* cdo = CallGame(sym::UVictoryCore::GetClassDefaultObject,
                          FieldOf(CallGame(sym::APrimalDinoCharacter::FindDinoWithID,
                                           HostApi::GetApiUtils().CurrentWorld(), 1u, 1u),
                                  sym::UObjectBase::ClassPrivate));
  FString path;
  CallGame(sym::UObjectBaseUtility::GetPathName, cdo, nullptr, path);
  EXPECT_EQ(path.View(), u"/Game/Emulated/Raptor_Character_BP.Default__Raptor_Character_BP_C");
}

// Strings that need escapes or are no valid UTF-8, numbers at the edges of their printed forms,
// and enough actors of each kind to exercise every separator, in each indentation.
TEST(WorldFile, TheWriterWritesWhatTheJsonLibraryWrites) {
  game::WorldDescription w;
  w.map = "q\"b\\s\x01\x1f\x7f\n\t\u00e9\u4e2d";
  w.items = {"bad \xff byte", "cut \xc3", "", "\xe2\x82"};
  w.game_state->players_connected = -7;
  w.world_settings.reset();
  w.tribes.push_back({1000001, "T\r", {"a", "\x01z"}, false});
  const double numbers[] = {
      0.1,  -0.0, 1e21, 1e-7, 5e-324, 123456789012345.6, 1e15, 3.0, -2.5e-5, 999999999999999.0,
      -42.0};
  for (int i = 0; i < 40; ++i) {
    const double n = numbers[i % std::size(numbers)];
    game::DinoDescription d;
    d.id1 = static_cast<uint32_t>(i + 1);
    d.id2 = 4000000000U;
    d.position = {n, -n, n * 3};
    d.food = {static_cast<float>(n), 1000.0F};
    if (i % 3 == 0) d.colours = {{0, i}, {5, -1}};
    if (i % 4 == 0) d.imprinter = game::Imprinter{"a\"b", "7"};
    w.dinos.push_back(d);
    game::StructureDescription s;
    s.position = {n, 0, 1};
    s.name.reset();
    s.consumes_item = i % 2 == 0 ? std::optional<std::string>("I_C") : std::nullopt;
    w.structures.push_back(s);
    game::ActorDescription a;
    a.kind = i % 2 == 0 ? std::optional(game::ClassKind::kPawn) : std::nullopt;
    w.actors.push_back(a);
  }
  game::PlayerDescription p;
  p.eos_id = "e";
  p.hexagons = std::numeric_limits<int64_t>::min();
  p.player_id = std::numeric_limits<uint64_t>::max();
  p.inbox.push_back({.kind = "chat", .text = "hi\xfe"});
  p.head_hair = game::HairStyle{0.25F, 2};
  w.players.push_back(p);
  const game::AllocatorCounts memory{3, 99};
  for (int indent : {2, 1, -1}) {
    const std::string text = game::WorldFileText(w, indent, &memory);
    EXPECT_EQ(text, nlohmann::ordered_json::parse(text).dump(
                        indent, ' ', false, nlohmann::ordered_json::error_handler_t::replace))
        << "indent " << indent;
  }

  // Loaded as a world (as far as its rules allow), it exports and reloads to the same bytes.
  w.map = "plain";
  w.items.clear();
  for (auto& s : w.structures) s.consumes_item.reset();
  for (auto& a : w.actors) a.kind.reset();
  ExpectStableExport(game::Game::Create(w, "")->ExportState());
}

// Every key a world file may give (every_key.json), each away from its default, comes back in
// the export with the value given: a key the writer forgot would come back with its default or
// not at all.
TEST(WorldFile, EveryKeyGivenIsExportedAsGiven) {
  std::ifstream file(ORVANE_EVERY_KEY_WORLD);
  const json given = json::parse(file);
  TestWorld world(given.dump());
  const json exported = world.State();
  const json leaves = given.flatten();
  for (const auto& leaf : leaves.items()) {
    const json::json_pointer at(leaf.key());
    EXPECT_EQ(exported.contains(at) ? exported[at] : json("<missing>"), leaf.value()) << leaf.key();
  }
  ExpectStableExport(world.game().ExportState());
}

TEST(WorldFile, CommentsAreAllowed) {
  TestWorld world("// a world\n{\"map\": /* the map */ \"Ragnarok_WP\"} // end\n");
  EXPECT_EQ(world.State()["map"], "Ragnarok_WP");
}

// Commands can set values JSON has no number for (the C library reads "nan" and "inf"); the
// export writes them as "nan", "inf" and "-inf", and the loader reads them back.
TEST(WorldFile, NonFiniteNumbersAreExportedAndLoadedBack) {
  TestWorld world(R"({"dinos": [{"id1": 1, "id2": 2, "food": ["inf", 5]}],
                      "players": [{"eos_id": "a"}]})");
  auto* player = HostApi::GetApiUtils().FindPlayerByEosId(FString("a"));
  ASSERT_NE(player, nullptr);
  FVector nowhere{std::nan(""), std::numeric_limits<double>::infinity(),
                  -std::numeric_limits<double>::infinity()};
  FRotator rotation{};
  CallGame(sym::APrimalCharacter::TeleportTo,
           CallGame(sym::AShooterPlayerController::GetPlayerCharacter, player), nowhere, rotation,
           false, false);
  CallGame(sym::AShooterPlayerController::AddExperience, player, std::nanf(""), false, false);

  const std::string exported = world.game().ExportState();
  const json first = json::parse(exported);
  EXPECT_EQ(first["players"][0]["position"], json::parse(R"(["nan", "inf", "-inf"])"));
  EXPECT_EQ(first["players"][0]["experience"], "nan");
  EXPECT_EQ(first["dinos"][0]["food"], json::parse(R"(["inf", 5.0])"));
  ExpectStableExport(exported);
}

}  // namespace
