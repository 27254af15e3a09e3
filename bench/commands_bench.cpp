// Every walking command on generated worlds of 10k, 100k and 1M actors, each beside its
// baseline, in one binary:
//   Command/<line>/<actors>  the request line dispatched to the real plugin, as over RCON but
//                            without the network: the plugin's walk through GameAccess and the
//                            game's queries
//   Cold/<line>/<actors>     the same with the caches emptied before each run, as a live
//                            server's frame leaves them between two commands; a fixed number of
//                            iterations. Without it a small world stays in the cache from one
//                            iteration to the next and a large one cannot, so the growth of the
//                            warm cost per actor measures the cache as much as the command.
//   Direct/<line>/<actors>   the same result computed by direct field access (direct_walks.h)
// Each reports "actors" and "ns_per_actor"; scripts/bench-plot.py draws ns_per_actor against
// the world size, one line per command. Commands that destroy run on a fresh copy of the world
// per iteration (the copy is made outside the timed part), a fixed number of iterations.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/support/bench_host.h"
#include "bench/support/cold_caches.h"
#include "bench/support/direct_walks.h"

namespace {

using bench::Baseline;
using bench::DumpFile;
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
    // Dump files, each beside a baseline that writes the same bytes with fmt.
    {"GetActorPos Raptor_Character_BP_C",
     {Work::kFile, Select::kDinos, Team::kAny, "Raptor_Character_BP_C", DumpFile::kActorPos}},
    {"GetAllActorsPos", {Work::kFile, Select::kAllActors, Team::kAny, {}, DumpFile::kAllActorsPos}},
    {"GetAllActors", {Work::kFile, Select::kAllActors, Team::kAny, {}, DumpFile::kAllActors}},
    {"GetAllActorsBp", {Work::kFile, Select::kAllActors, Team::kAny, {}, DumpFile::kAllActorsBp}},
    {"GetAllDinos", {Work::kFile, Select::kAllActors, Team::kAny, {}, DumpFile::kAllDinos}},
    {"ListAllStructures",
     {Work::kFile, Select::kAllActors, Team::kAny, {}, DumpFile::kAllStructures}},
    {"ListAllStructuresInRadius 50000 50000 0 50000",
     {Work::kFile,
      Select::kAllActors,
      Team::kAny,
      {},
      DumpFile::kStructuresInRadius,
      {50000, 50000, 0, 50000}}},
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

// Whether a run starts with the caches as the previous iteration left them, or emptied.
enum class Caches { kWarm, kCold };

// Runs `walk` once per iteration on the world of `actors` actors (a fresh copy each time for a
// destroying row), the preparation outside the timed part.
template <class Walk>
void Measure(benchmark::State& state, const CommandRow& row, int32_t actors, Caches caches,
             Walk walk) {
  bench::BenchHost& host = bench::Host();
  const bool destroys = row.baseline.work == Work::kDestroy;
  if (!destroys) host.Installed(actors);
  for (auto _ : state) {
    if (destroys || caches == Caches::kCold) {
      state.PauseTiming();
      if (destroys) host.FreshCopy(actors);
      if (caches == Caches::kCold) bench::EvictCaches();
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(walk(host));
  }
  Report(state, actors);
}

void RunCommand(benchmark::State& state, const CommandRow& row, int32_t actors, Caches caches) {
  const std::u16string line = Wide(row.line);
  Measure(state, row, actors, caches, [&](bench::BenchHost& host) { return host.Dispatch(line); });
}

// The baseline's file, beside the command's after the command has run once: a baseline that
// does not write the same bytes measures something else, and the run says so.
bool SameFileAsCommand(bench::BenchHost& host, const CommandRow& row, const std::string& folder) {
  host.Dispatch(Wide(row.line));
  const std::string name = bench::DumpFileName(row.baseline.file);
  auto bytes = [](const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  return bytes(folder + "/" + name) ==
         bytes(host.root() + "/Binaries/Win64/HostApi/Plugins/Orvane/" + name);
}

void RunDirect(benchmark::State& state, const CommandRow& row, int32_t actors) {
  bench::BenchHost& host = bench::Host();
  const std::string folder = host.root() + "/direct";
  std::filesystem::create_directories(folder);
  Measure(state, row, actors, Caches::kWarm,
          [&](bench::BenchHost&) { return bench::RunDirect(row.baseline, folder); });
  if (row.baseline.work == Work::kFile && !SameFileAsCommand(host, row, folder))
    state.SkipWithError("the baseline's file differs from the command's");
}

}  // namespace

int main(int argc, char** argv) {
  for (const CommandRow& row : kCommands) {
    for (int32_t actors : kSizes) {
      const std::string suffix = std::string(row.line) + "/" + std::to_string(actors);
      const bool destroys = row.baseline.work == Work::kDestroy;
      // A run that needs a new world or emptied caches is prepared outside the timed part, so
      // a small fixed count of them keeps the whole run short.
      const int fixed_iterations = std::max(2, 200'000 / actors);
      auto* warm = benchmark::RegisterBenchmark(("Command/" + suffix).c_str(), RunCommand, row,
                                                actors, Caches::kWarm);
      auto* cold = benchmark::RegisterBenchmark(("Cold/" + suffix).c_str(), RunCommand, row, actors,
                                                Caches::kCold);
      auto* direct =
          benchmark::RegisterBenchmark(("Direct/" + suffix).c_str(), RunDirect, row, actors);
      for (auto* benchmark : {warm, cold, direct}) {
        benchmark->Unit(benchmark::kMicrosecond);
        if (destroys || benchmark == cold) benchmark->Iterations(fixed_iterations);
      }
    }
  }
  return bench::Main(argc, argv);
}
