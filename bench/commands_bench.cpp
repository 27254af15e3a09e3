// Every walking command on generated worlds of 10k, 100k and 1M actors, each beside its
// baseline, in one binary:
//   Command/<line>/<actors>  the request line dispatched to the real plugin, as over RCON but
//                            without the network: the plugin's walk through GameAccess and the
//                            game's queries
//   Direct/<line>/<actors>   the same result computed by direct field access (direct_walks.h)
// Each reports "actors" and "ns_per_actor"; scripts/bench-plot.py draws ns_per_actor against
// the world size, one line per command. Commands that destroy run on a fresh copy of the world
// per iteration (the copy is made outside the timed part), a fixed number of iterations.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "bench/support/bench_host.h"
#include "bench/support/direct_walks.h"

namespace {

using bench::Baseline;
using bench::Select;
using bench::Team;
using bench::Work;

struct CommandRow {
  const char* line;
  Baseline baseline;
};

// One row per walking command: its request line and what its baseline computes. Player 0 of
// the generated world (EOS id ...be00, player id 500000000) is in the bench tribe 1000001.
constexpr CommandRow kCommands[] = {
    // Counts.
    {"GetTotalTames", {Work::kCount, Select::kDinos, Team::kTamed}},
    {"GetTotalWilds", {Work::kCount, Select::kDinos, Team::kWild}},
    {"GetTribeStructureCount 1000001", {Work::kCount, Select::kStructures, Team::kBenchTribe}},
    {"ListUnclaimedDinosAmount", {Work::kCount, Select::kDinos, Team::kUnclaimed}},
    // Lists in the reply.
    {"ListTribeDinos 1000001", {Work::kList, Select::kDinos, Team::kBenchTribe}},
    {"ListTribeDinos 1000001 1", {Work::kList, Select::kDinos, Team::kBenchTribe}},
    {"ListPlayerDinos 0000000000000000000000000000be00",
     {Work::kList, Select::kDinos, Team::kBenchTribe}},
    {"ListUnclaimedDinos", {Work::kList, Select::kDinos, Team::kUnclaimed}},
    {"ListTribeStructures 1000001", {Work::kGroup, Select::kStructures, Team::kBenchTribe}},
    {"GetTribeStructurePos 1000001 Stone",
     {Work::kList, Select::kStructures, Team::kBenchTribe, "StoneWall_C"}},
    // Dump files.
    {"GetActorPos Raptor_Character_BP_C",
     {Work::kDump, Select::kDinos, Team::kAny, "Raptor_Character_BP_C"}},
    {"GetAllActorsPos", {Work::kDump, Select::kDinosAndStructures, Team::kAny}},
    {"GetAllActors", {Work::kGroup, Select::kAllActors, Team::kAny}},
    {"GetAllActorsBp", {Work::kGroup, Select::kAllActors, Team::kAny}},
    {"GetAllDinos", {Work::kGroup, Select::kDinos, Team::kAny}},
    {"ListAllStructures", {Work::kDump, Select::kStructures, Team::kAny}},
    {"ListAllStructuresInRadius 50000 50000 0 50000",
     {Work::kGroup, Select::kStructures, Team::kTamed}},
    // Changes to the world.
    {"GiveTribeDinosFood 1000001", {Work::kFeed, Select::kDinos, Team::kBenchTribe}},
    {"DestroyActorAll SupplyCrate_C", {Work::kDestroy, Select::kOthers, Team::kAny}},
    {"DestroyActorWild Raptor_Character_BP_C",
     {Work::kDestroy, Select::kDinos, Team::kWild, "Raptor_Character_BP_C"}},
    {"DestroyTribeAll 1000001", {Work::kDestroy, Select::kPlaced, Team::kBenchTribe}},
    {"DestroyTribeDinos 1000001", {Work::kDestroy, Select::kDinos, Team::kBenchTribe}},
    {"DestroyTribePlayers 1000001", {Work::kDestroy, Select::kPawns, Team::kBenchTribe}},
    {"DestroyTribeStructures 1000001", {Work::kDestroy, Select::kStructures, Team::kBenchTribe}},
    {"DestroyTribeStructuresByBP 1000001 StoneWall_C",
     {Work::kDestroy, Select::kStructures, Team::kBenchTribe, "StoneWall_C"}},
    {"KillUnclaimedDinos", {Work::kDestroy, Select::kDinos, Team::kUnclaimed}},
    {"KillAllWildDinos", {Work::kDestroy, Select::kDinos, Team::kWild}},
    {"KillPlayerId 500000000", {Work::kDestroy, Select::kCharacters, Team::kBenchTribe}},
};

constexpr int32_t kSizes[] = {10'000, 100'000, 1'000'000};

std::u16string Wide(const char* text) { return std::u16string(text, text + std::strlen(text)); }

void Report(benchmark::State& state, int32_t actors) {
  state.counters["actors"] = actors;
  state.counters["ns_per_actor"] = benchmark::Counter(
      1e-9 * actors, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void RunCommand(benchmark::State& state, const CommandRow& row, int32_t actors) {
  bench::BenchHost& host = bench::Host();
  const std::u16string line = Wide(row.line);
  const bool destroys = row.baseline.work == Work::kDestroy;
  if (!destroys) host.Installed(actors);
  for (auto _ : state) {
    if (destroys) {
      state.PauseTiming();
      host.FreshCopy(actors);
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(host.Dispatch(line));
  }
  Report(state, actors);
}

void RunDirect(benchmark::State& state, const CommandRow& row, int32_t actors) {
  bench::BenchHost& host = bench::Host();
  const bool destroys = row.baseline.work == Work::kDestroy;
  if (!destroys) host.Installed(actors);
  for (auto _ : state) {
    if (destroys) {
      state.PauseTiming();
      host.FreshCopy(actors);
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(bench::RunDirect(row.baseline, host.root()));
  }
  Report(state, actors);
}

}  // namespace

int main(int argc, char** argv) {
  for (const CommandRow& row : kCommands) {
    for (int32_t actors : kSizes) {
      const std::string suffix = std::string(row.line) + "/" + std::to_string(actors);
      for (auto* benchmark :
           {benchmark::RegisterBenchmark(("Command/" + suffix).c_str(), RunCommand, row, actors),
            benchmark::RegisterBenchmark(("Direct/" + suffix).c_str(), RunDirect, row, actors)}) {
        benchmark->Unit(benchmark::kMicrosecond);
        // Each iteration of a destroying row needs a new world, built outside the timed part: a
        // small fixed count keeps the run short.
        if (row.baseline.work == Work::kDestroy)
          benchmark->Iterations(std::max(1, 200'000 / actors));
      }
    }
  }
  return bench::Main(argc, argv);
}
