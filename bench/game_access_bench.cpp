// Walking a whole level: per actor a class test (is it a dino?) and the team number, to count
// tamed dinos as a counting command does over the level.
//   SymbolicWalk: through the plugin's GameAccess, every field and function resolved by its
//                 symbolic name at each use, as the plugin runs on a live server; the dino
//                 class is asked for once per walk, as the commands do.
//   DirectWalk:   the baseline, the same walk over the same actors with direct field access
//                 on the game's own objects (the same class test: the class's parent chain).
// Both run on one generated world per size (10k, 100k, 1M actors) in one binary, side by side;
// "ns_per_actor" is the CPU time per actor.
#include <benchmark/benchmark.h>

#include <sdk/api.h>

#include "bench/support/bench_host.h"
#include "game/objects/objects.h"
#include "host/game_access.h"
#include "queries/entity_lookup.h"

namespace {

const TArray<AActor*>& LevelActors() {
  UWorld* world = HostApi::GetApiUtils().CurrentWorld();
  ULevel* level = orvane::host::Field(world, sym::UWorld::PersistentLevel);
  return orvane::host::Field(level, sym::ULevel::Actors);
}

void Report(benchmark::State& state, int32_t actors) {
  state.counters["actors"] = actors;
  state.counters["ns_per_actor"] = benchmark::Counter(
      1e-9 * actors, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The two walks, kept out of line so that an instruction count can be taken of each alone
// (valgrind --tool=callgrind --toggle-collect='*CountTamed*').
[[gnu::noinline]] int SymbolicCountTamed(const TArray<AActor*>& actors) {
  UClass* dino_class = orvane::host::DinoClass();
  int tamed = 0;
  for (AActor* actor : actors) {
    if (actor != nullptr && orvane::IsActorOfClass(actor, dino_class) &&
        orvane::IsTamedTeam(orvane::TeamOf(actor)))
      ++tamed;
  }
  return tamed;
}

[[gnu::noinline]] int DirectCountTamed(const TArray<AActor*>& actors) {
  const auto* dino_class = reinterpret_cast<const game::StructObject*>(
      sym::Resolve(sym::APrimalDinoCharacter::GetPrivateStaticClass)());
  int tamed = 0;
  for (AActor* actor : actors) {
    const auto* object = reinterpret_cast<const game::ActorBase*>(actor);
    if (object != nullptr && object->class_private->IsChildOf(dino_class) &&
        object->targeting_team > orvane::kTamedThreshold)
      ++tamed;
  }
  return tamed;
}

void SymbolicWalk(benchmark::State& state) {
  bench::Host().Installed(static_cast<int32_t>(state.range(0)));
  const TArray<AActor*>& actors = LevelActors();
  for (auto _ : state) benchmark::DoNotOptimize(SymbolicCountTamed(actors));
  Report(state, actors.Num());
}

void DirectWalk(benchmark::State& state) {
  bench::Host().Installed(static_cast<int32_t>(state.range(0)));
  const TArray<AActor*>& actors = LevelActors();
  for (auto _ : state) benchmark::DoNotOptimize(DirectCountTamed(actors));
  Report(state, actors.Num());
}

BENCHMARK(SymbolicWalk)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(DirectWalk)->Arg(10'000)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv); }
