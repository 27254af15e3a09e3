// Walking a whole level: per actor a class test (is it a dino?) and the team number, to count
// tamed dinos as the tame count does.
//   SymbolicWalk: through the plugin's GameAccess, every field and function resolved by its
//                 symbolic name at each use, as the plugin runs on a live server.
//   DirectWalk:   the baseline, the same walk over the same actors with direct field access
//                 on the game's own objects.
// Both run on one generated world per size (10k, 100k, 1M actors) in one binary, side by side.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include <sdk/api.h>

#include "framework/host/log_sinks.h"
#include "game/game.h"
#include "game/objects/objects.h"
#include "host/game_access.h"
#include "queries/entity_lookup.h"

namespace {

// A world of `actors` actors: 30% dinos (half of them tamed), 60% structures, 10% others.
game::WorldDescription GeneratedWorld(int actors) {
  game::WorldDescription description;
  description.classes = {{"Raptor_Character_BP_C", game::ClassKind::kDino, std::nullopt},
                         {"StoneWall_C", game::ClassKind::kStructure, std::nullopt},
                         {"SupplyCrate_C", game::ClassKind::kActor, std::nullopt}};
  for (int i = 0; i < actors; ++i) {
    const int bucket = i % 10;
    const double x = (i % 1000) * 100.0;
    const double y = (i / 1000) * 100.0;
    if (bucket < 3) {
      game::DinoDescription dino;
      dino.class_name = "Raptor_Character_BP_C";
      dino.id1 = static_cast<uint32_t>(i);
      dino.id2 = static_cast<uint32_t>(i * 7 + 1);
      dino.team = (i % 2 == 0) ? 1000001 : 100;
      dino.position = {x, y, 0};
      description.dinos.push_back(std::move(dino));
    } else if (bucket < 9) {
      game::StructureDescription structure;
      structure.class_name = "StoneWall_C";
      structure.team = 1000001;
      structure.position = {x, y, 0};
      description.structures.push_back(std::move(structure));
    } else {
      game::ActorDescription actor;
      actor.class_name = "SupplyCrate_C";
      actor.position = {x, y, 0};
      description.actors.push_back(std::move(actor));
    }
  }
  return description;
}

// One installed world per size, kept for the whole run.
game::Game& WorldOf(int actors) {
  static std::map<int, std::unique_ptr<game::Game>> worlds;
  auto& slot = worlds[actors];
  if (!slot) {
    slot.reset();
    slot = game::Game::Create(GeneratedWorld(actors), "");
  }
  slot->Install();
  return *slot;
}

const TArray<AActor*>& LevelActors() {
  UWorld* world = HostApi::GetApiUtils().CurrentWorld();
  ULevel* level = orvane::host::Field(world, sym::UWorld::PersistentLevel);
  return orvane::host::Field(level, sym::ULevel::Actors);
}

void SymbolicWalk(benchmark::State& state) {
  WorldOf(static_cast<int>(state.range(0)));
  const TArray<AActor*>& actors = LevelActors();
  for (auto _ : state) {
    int tamed = 0;
    for (AActor* actor : actors) {
      if (actor != nullptr && orvane::IsActorOfClass(actor, orvane::host::DinoClass()) &&
          orvane::IsTamedTeam(orvane::TeamOf(actor)))
        ++tamed;
    }
    benchmark::DoNotOptimize(tamed);
  }
  state.SetItemsProcessed(state.iterations() * actors.Num());
}

void DirectWalk(benchmark::State& state) {
  WorldOf(static_cast<int>(state.range(0)));
  const TArray<AActor*>& actors = LevelActors();
  const auto* dino_class = reinterpret_cast<const game::StructObject*>(
      sym::Resolve(sym::APrimalDinoCharacter::GetPrivateStaticClass)());
  for (auto _ : state) {
    int tamed = 0;
    for (AActor* actor : actors) {
      const auto* object = reinterpret_cast<const game::ActorBase*>(actor);
      if (object != nullptr && object->class_private->IsChildOf(dino_class) &&
          object->targeting_team > orvane::kTamedThreshold)
        ++tamed;
    }
    benchmark::DoNotOptimize(tamed);
  }
  state.SetItemsProcessed(state.iterations() * actors.Num());
}

BENCHMARK(SymbolicWalk)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(DirectWalk)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
