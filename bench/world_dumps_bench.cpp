// The world dump commands on generated worlds of 100k and 1M actors, each run as the framework
// runs it (one handler call on the game thread, reply and dump file included):
//   <Command>/<actors>:  the plugin's handler, every game member reached by symbolic name.
//   Direct<What>/<actors>: baselines that write the same file by walking the game's own objects
//                        directly (no symbolic access, no host strings), for the counting
//                        (GetAllActors), position (GetAllActorsPos) and structure-list
//                        (ListAllStructures) dumps.
// The dump files go to a temporary server root, removed at exit.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

#include "commands/handlers.h"
#include "framework/host/running_game.h"
#include "game/game.h"
#include "game/objects/objects.h"
#include "game/rcon/rcon_connection.h"
#include "game/util/text.h"
#include "game/world/world.h"

namespace {

constexpr const char* kDinoSpecies[] = {"Raptor", "Rex",   "Trike", "Stego", "Dodo",
                                        "Ptero",  "Carno", "Anky",  "Para",  "Beetle"};
constexpr const char* kStructureKinds[] = {
    "StoneWall",   "StoneFoundation", "StoneCeiling", "WoodWall",   "WoodFoundation",
    "WoodCeiling", "MetalWall",       "MetalGate",    "ThatchDoor", "ThatchWall",
    "Campfire",    "StorageBox",      "SleepingBag",  "Bed",        "Forge",
    "Smithy",      "CropPlot",        "WaterPipe",    "Generator",  "Turret"};
constexpr const char* kActorKinds[] = {"SupplyCrate_C", "Beacon_C", "Trader_C"};

// `actors` actors on a 1000-wide grid 800 units apart from (-400000, -400000): 30% dinos of ten
// species (tamed by 100 tribes, wild, or unclaimed), 60% structures of twenty kinds owned by
// 1000 tribes (one in fifty of team 0), 10% other actors.
game::WorldDescription GeneratedWorld(int actors) {
  game::WorldDescription description;
  for (const char* species : kDinoSpecies) {
    const std::string stem = std::string(species) + "_Character_BP";
    description.classes.push_back({stem + "_C", game::ClassKind::kDino,
                                   "/Game/Dinos/" + stem + "." + "Default__" + stem + "_C"});
  }
  for (const char* kind : kStructureKinds) {
    description.classes.push_back(
        {std::string(kind) + "_C", game::ClassKind::kStructure,
         "/Game/Structures/" + std::string(kind) + ".Default__" + kind + "_C"});
  }
  for (int i = 0; i < actors; ++i) {
    const game::Position at{(i % 1000) * 800.0 - 400000.0, (i / 1000) * 800.0 - 400000.0, 0.0};
    const int bucket = i % 10;
    if (bucket < 3) {
      game::DinoDescription dino;
      dino.class_name = std::string(kDinoSpecies[(i / 10) % 10]) + "_Character_BP_C";
      dino.id1 = static_cast<uint32_t>(i);
      dino.id2 = static_cast<uint32_t>(i * 7 + 1);
      dino.team = i % 3 == 0 ? 1000000 + (i / 30) % 100 : i % 3 == 1 ? 0 : 2000000000;
      dino.position = at;
      description.dinos.push_back(std::move(dino));
    } else if (bucket < 9) {
      game::StructureDescription structure;
      structure.class_name = std::string(kStructureKinds[(i / 10) % 20]) + "_C";
      structure.team = (i / 10) % 50 == 0 ? 0 : 1000000 + (i / 7) % 1000;
      structure.owner = "Owner" + std::to_string((i / 7) % 1000);
      structure.position = at;
      description.structures.push_back(std::move(structure));
    } else {
      game::ActorDescription actor;
      actor.class_name = kActorKinds[(i / 10) % 3];
      actor.position = at;
      description.actors.push_back(std::move(actor));
    }
  }
  return description;
}

// A server root with the plugin's folder, made once, removed at exit.
const std::string& Root() {
  static const std::string root = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "orvane-dumps-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    std::filesystem::create_directories(pattern + "/Binaries/Win64/HostApi/Plugins/Orvane");
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(Root(), ignored);
    });
    return pattern;
  }();
  return root;
}

// One installed world per size, kept for the whole run.
game::Game& WorldOf(int actors) {
  static std::map<int, std::unique_ptr<game::Game>> worlds;
  auto& slot = worlds[actors];
  if (!slot) slot = game::Game::Create(GeneratedWorld(actors), "");
  slot->Install();
  framework::SetCurrentDir(framework::BinariesDirOf(Root()));
  return *slot;
}

// Runs the handler once per iteration, as the framework would for the request `line`.
void RunDump(benchmark::State& state, void (*handler)(orvane::Request&), const char* name,
             std::u16string line) {
  WorldOf(static_cast<int>(state.range(0)));
  game::RconConnection connection;
  RCONPacket packet;
  packet.Id = 1;
  packet.Type = 2;
  packet.Body = FString(std::u16string_view(line));
  for (auto _ : state) {
    orvane::Request request(connection.Handle(), &packet, name);
    handler(request);
    connection.ClearReplies();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The centre of the populated part of the grid.
std::u16string RadiusLine(int actors) {
  const int rows = actors / 1000;
  const std::string y = std::to_string((rows / 2) * 800.0 - 400000.0);
  return game::ToUtf16("ListAllStructuresInRadius 0 " + y + " 0 50000");
}

void GetActorPos(benchmark::State& state) {
  RunDump(state, &orvane::GetActorPos, "GetActorPos", u"GetActorPos stonewall_c");
}
void GetAllActorsPos(benchmark::State& state) {
  RunDump(state, &orvane::GetAllActorsPos, "GetAllActorsPos", u"GetAllActorsPos");
}
void GetAllActors(benchmark::State& state) {
  RunDump(state, &orvane::GetAllActors, "GetAllActors", u"GetAllActors");
}
void GetAllActorsBp(benchmark::State& state) {
  RunDump(state, &orvane::GetAllActorsBp, "GetAllActorsBp", u"GetAllActorsBp");
}
void GetAllDinos(benchmark::State& state) {
  RunDump(state, &orvane::GetAllDinos, "GetAllDinos", u"GetAllDinos");
}
void ListAllStructures(benchmark::State& state) {
  RunDump(state, &orvane::ListAllStructures, "ListAllStructures", u"ListAllStructures");
}
void ListAllStructuresInRadius(benchmark::State& state) {
  RunDump(state, &orvane::ListAllStructuresInRadius, "ListAllStructuresInRadius",
          RadiusLine(static_cast<int>(state.range(0))));
}

// Baselines over the game's own objects.

std::string DumpPath(const char* file) {
  return Root() + "/Binaries/Win64/HostApi/Plugins/Orvane/" + file;
}

// As GetAllActors: a count per class name, in name order.
void DirectCountByClass(benchmark::State& state) {
  WorldOf(static_cast<int>(state.range(0)));
  game::World& world = game::World::Installed();
  for (auto _ : state) {
    std::unordered_map<const game::ClassObject*, int> per_class;
    world.ForEachLevelActor([&](game::ActorBase* actor) { ++per_class[actor->class_private]; });
    std::map<std::string, int> per_name;
    for (const auto& [cls, count] : per_class)
      per_name[game::ToUtf8(world.names().ToString(cls->name_private))] += count;
    std::string text;
    for (const auto& [name, count] : per_name)
      text += "[" + name + "]: " + std::to_string(count) + "\n";
    std::ofstream(DumpPath("DirectAllActors.txt")) << text;
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// As GetAllActorsPos: one position line per dino and structure.
void DirectPositions(benchmark::State& state) {
  WorldOf(static_cast<int>(state.range(0)));
  game::World& world = game::World::Installed();
  for (auto _ : state) {
    std::unordered_map<const game::ClassObject*, std::string> names;
    std::string text;
    char line[256];
    world.ForEachLevelActor([&](game::ActorBase* actor) {
      if (actor->kind != game::ObjectKind::kDino && actor->kind != game::ObjectKind::kStructure)
        return;
      auto [name, made] = names.try_emplace(actor->class_private);
      if (made)
        name->second = game::ToUtf8(world.names().ToString(actor->class_private->name_private));
      const FVector& at = actor->root_component->component_to_world.Translation;
      const int n =
          std::snprintf(line, sizeof line, " - X=%3.3f Y=%3.3f Z=%3.3f\n", at.X, at.Y, at.Z);
      text += name->second;
      text.append(line, n);
    });
    std::ofstream(DumpPath("DirectAllActorsPos.txt")) << text;
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

// "Blueprint'<path>'" and a line feed, the path less a trailing "_C" and every "Default__".
std::string ActorPathLine(const std::u16string& class_path) {
  std::string path = game::ToUtf8(class_path);
  if (path.size() >= 2 && path.compare(path.size() - 2, 2, "_C") == 0) path.resize(path.size() - 2);
  for (std::size_t at; (at = path.find("Default__")) != std::string::npos;) path.erase(at, 9);
  return "Blueprint'" + path + "'\n";
}

// As ListAllStructures: each structure's class path outside team 0, one line each.
void DirectStructureList(benchmark::State& state) {
  WorldOf(static_cast<int>(state.range(0)));
  game::World& world = game::World::Installed();
  for (auto _ : state) {
    std::unordered_map<const game::ClassObject*, std::string> lines;
    std::ofstream out(DumpPath("DirectAllStructures.txt"));
    world.ForEachLevelActor([&](game::ActorBase* actor) {
      if (actor->kind != game::ObjectKind::kStructure || actor->targeting_team == 0) return;
      auto [line, made] = lines.try_emplace(actor->class_private);
      if (made) line->second = ActorPathLine(actor->class_private->path);
      out << line->second;
    });
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

#define WORLD_SIZES ->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond)
BENCHMARK(GetActorPos) WORLD_SIZES;
BENCHMARK(GetAllActorsPos) WORLD_SIZES;
BENCHMARK(GetAllActors) WORLD_SIZES;
BENCHMARK(GetAllActorsBp) WORLD_SIZES;
BENCHMARK(GetAllDinos) WORLD_SIZES;
BENCHMARK(ListAllStructures) WORLD_SIZES;
BENCHMARK(ListAllStructuresInRadius) WORLD_SIZES;
BENCHMARK(DirectCountByClass) WORLD_SIZES;
BENCHMARK(DirectPositions) WORLD_SIZES;
BENCHMARK(DirectStructureList) WORLD_SIZES;

}  // namespace

BENCHMARK_MAIN();
