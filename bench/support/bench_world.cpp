#include "bench/support/bench_world.h"

#include <cstdio>

#include "game/world/world_file_writer.h"

namespace bench {
namespace {

constexpr int32_t kPlayers = 16;
constexpr int32_t kTribes[] = {kBenchTribe, 1000002, 1000003, 1000004};

game::Position Cell(int32_t i) {
  return {(i % 1000) * 100.0, (i / 1000) * 100.0, static_cast<double>(i % 7)};
}

}  // namespace

game::WorldDescription GeneratedWorld(int32_t actors) {
  game::WorldDescription world;
  world.classes = {{"Raptor_Character_BP_C", game::ClassKind::kDino, std::nullopt},
                   {"Rex_Character_BP_C", game::ClassKind::kDino, std::nullopt},
                   {"StoneWall_C", game::ClassKind::kStructure, std::nullopt},
                   {"WoodFoundation_C", game::ClassKind::kStructure, std::nullopt},
                   {"SupplyCrate_C", game::ClassKind::kActor, std::nullopt}};
  world.items = {"Blueprint'/Game/Items/Rifle/PrimalItem_Rifle.PrimalItem_Rifle'"};
  for (int32_t id : kTribes)
    world.tribes.push_back({id, "Tribe " + std::to_string(id), {"Day 1: founded"}, true});
  for (int32_t p = 0; p < kPlayers; ++p) {
    game::PlayerDescription player;
    char eos[33];
    std::snprintf(eos, sizeof eos, "%032x", 0xbe00 + p);
    player.eos_id = eos;
    player.character_name = "Player" + std::to_string(p);
    player.player_name = "player" + std::to_string(p);
    player.player_data_name = "PrimalPlayerData_" + std::to_string(p);
    player.player_id = 500000000u + static_cast<uint64_t>(p);
    player.team = kTribes[p % 2 == 0 ? 0 : (p / 2) % 4];
    player.position = Cell(p);
    world.players.push_back(std::move(player));
  }
  const int32_t rest = actors > 2 * kPlayers ? actors - 2 * kPlayers : 0;
  for (int32_t i = 0; i < rest; ++i) {
    const int32_t bucket = i % 10;
    const int32_t tribe = kTribes[(i / 10) % 4];
    if (bucket < 3) {
      game::DinoDescription dino;
      dino.class_name = i % 20 < 10 ? "Raptor_Character_BP_C" : "Rex_Character_BP_C";
      dino.id1 = static_cast<uint32_t>(i + 1);
      dino.id2 = static_cast<uint32_t>(i * 7 + 3);
      // bucket 0: tamed; 1: wild; 2: tamed, or unclaimed one time in ten.
      dino.team = bucket == 1 ? 100 + i % 1000 : (bucket == 2 && i % 100 == 2) ? 2000000000 : tribe;
      dino.level = 1 + i % 150;
      dino.position = Cell(i);
      world.dinos.push_back(std::move(dino));
    } else if (bucket < 9) {
      game::StructureDescription structure;
      structure.class_name = bucket < 6 ? "StoneWall_C" : "WoodFoundation_C";
      structure.team = tribe;
      structure.owner = "Player" + std::to_string(i % kPlayers);
      structure.position = Cell(i);
      world.structures.push_back(std::move(structure));
    } else {
      game::ActorDescription actor;
      actor.class_name = "SupplyCrate_C";
      actor.position = Cell(i);
      world.actors.push_back(std::move(actor));
    }
  }
  return world;
}

std::string GeneratedWorldJson(int32_t actors) {
  return game::WorldFileText(GeneratedWorld(actors), -1);
}

}  // namespace bench
