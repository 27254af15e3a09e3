// Every walking command on generated worlds of 10k, 100k and 1M actors, each beside its
// baseline, in one binary:
//   Command/<line>/<actors>  the request line dispatched to the real plugin, as over RCON but
//                            without the network: the plugin's walk through GameAccess and the
//                            game's queries
//   Direct/<line>/<actors>   the same result computed by direct field access (direct_walks.h)
// Each reports "actors" and "ns_per_actor"; scripts/bench-plot.py draws ns_per_actor against
// the world size, one line per command. Commands that destroy run on a fresh copy of the world
// per iteration (the copy is made outside the timed part).
#include <benchmark/benchmark.h>

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

// One row per walking command: its request line and what its baseline computes.
constexpr CommandRow kCommands[] = {
    {"GetTotalTames", {Work::kCount, Select::kDinos, Team::kTamed}},
    {"GetTotalWilds", {Work::kCount, Select::kDinos, Team::kWild}},
    {"GiveTribeDinosFood 1000001", {Work::kFeed, Select::kDinos, Team::kBenchTribe}},
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
      benchmark::RegisterBenchmark(("Command/" + suffix).c_str(), RunCommand, row, actors)
          ->Unit(benchmark::kMicrosecond);
      benchmark::RegisterBenchmark(("Direct/" + suffix).c_str(), RunDirect, row, actors)
          ->Unit(benchmark::kMicrosecond);
    }
  }
  return bench::Main(argc, argv);
}
