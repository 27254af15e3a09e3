// Any world file either loads or is refused with a WorldFileError: a valid file mutated at
// random (bytes changed, values swapped for other types, cut short) never crashes the loader
// and never escapes it as another exception.
#include <gtest/gtest.h>

#include <random>

#include <nlohmann/json.hpp>

#include "game/game.h"
#include "tests/support/test_host.h"

namespace {

using nlohmann::json;

const json kWorld = {
    {"map", "TheIsland_WP"},
    {"game_state", {{"day_time", "Day 1"}, {"framerate", 30.0}, {"players_connected", 1}}},
    {"world_settings", {{"longitude_origin", -400000}, {"latitude_scale", 800}}},
    {"classes", {{{"name", "Raptor_C"}, {"kind", "dino"}, {"path", "/Game/R.Default__Raptor_C"}}}},
    {"items", {"Blueprint'/Game/Items/Rifle.Rifle'"}},
    {"tribes", {{{"id", 7}, {"name", "Owls"}, {"log", {"a", "b"}}}}},
    {"players", {{{"eos_id", "e1"}, {"team", 7}, {"position", {1.0, 2.0, 3.0}}}}},
    {"dinos", {{{"class", "Raptor_C"}, {"id1", 1}, {"id2", 2}, {"food", {1.0, 2.0}}}}},
    {"structures", {{{"class", "Wall_C"}, {"consumes_item", "Item_C"}}}},
    {"actors", {{{"class", "Crate_C"}, {"kind", "pawn"}}}},
    {"profiles", {"e1"}},
};

// Replaces one value somewhere in `node` by a value of another type.
void SwapOneValue(json& node, std::mt19937& random) {
  const json replacements[] = {
      nullptr, true, -1, 4294967296.0, "x", json::array(), json::object(), json::array({1, "a"}),
      1e308};
  if ((node.is_object() || node.is_array()) && !node.empty() && random() % 4 != 0) {
    auto it = node.begin();
    std::advance(it, random() % node.size());
    SwapOneValue(*it, random);
    return;
  }
  node = replacements[random() % std::size(replacements)];
}

void ExpectLoadsOrRefuses(const std::string& text) {
  try {
    game::Game::Create(text, "");
  } catch (const game::WorldFileError&) {
  } catch (const std::exception& e) {
    ADD_FAILURE() << "escaped as " << typeid(e).name() << ": " << e.what() << "\n" << text;
  }
}

TEST(WorldFileMutations, ValuesOfTheWrongTypeAreRefusedCleanly) {
  support::TestHost host;
  std::mt19937 random(11);
  for (int round = 0; round < 400; ++round) {
    json world = kWorld;
    SwapOneValue(world, random);
    ExpectLoadsOrRefuses(world.dump());
  }
}

TEST(WorldFileMutations, DamagedTextIsRefusedCleanly) {
  support::TestHost host;
  std::mt19937 random(12);
  const std::string text = kWorld.dump();
  for (int round = 0; round < 400; ++round) {
    std::string damaged = text;
    if (round % 3 == 0) {
      damaged.resize(random() % damaged.size());
    } else {
      for (int i = 0; i < 3; ++i) damaged[random() % damaged.size()] = static_cast<char>(random());
    }
    ExpectLoadsOrRefuses(damaged);
  }
  const int64_t blocks = host.live_blocks();
  ExpectLoadsOrRefuses(text);
  EXPECT_EQ(host.live_blocks(), blocks) << "a world built and dropped leaves no block";
}

}  // namespace
