// What the preview's copy adds to a line, measured in the process (no fork, no page copies), on
// the generated world of 1M actors, beside the plain command:
//   Command    "DestroyTribeAll 1000001" on a fresh copy of the world, the journal off
//   Journaled  the same with the journal on as the copy runs it: lines gathered, the touched
//              entities noted by the observer
//   Diff       the world part of that line's report (TouchedEntities::WriteDiff), its pieces
//              counted and dropped
//   Line       one journal line alone: AActor.Destroy on a structure, into a sink that keeps it
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "bench/support/bench_host.h"
#include "game/members/journal_call.h"
#include "game/world/world.h"
#include "game/world/world_diff.h"
#include "sdk/game_members.h"

namespace {

constexpr int32_t kActors = 1'000'000;
constexpr std::u16string_view kLine = u"DestroyTribeAll 1000001";

// The journal of a fresh copy switched on as the preview's copy switches it on.
class JournalOn {
 public:
  JournalOn() : world_(game::World::Installed()), touched_(world_) {
    world_.journal().SetSink([this](const std::string& line) {
      if (!calls_.empty()) calls_ += ',';
      calls_ += line;
    });
    world_.journal().SetObserver([this](std::string_view fn, const game::JournalSelf& self,
                                        const game::JournalObjects& args) {
      touched_.Observe(fn, self.object, args.objects);
    });
  }
  ~JournalOn() {
    world_.journal().SetSink({});
    world_.journal().SetObserver({});
  }
  const game::TouchedEntities& touched() const { return touched_; }

 private:
  game::World& world_;
  game::TouchedEntities touched_;
  std::string calls_;
};

void Command(benchmark::State& state) {
  bench::BenchHost& host = bench::Host();
  for (auto _ : state) {
    state.PauseTiming();
    host.FreshCopy(kActors);
    state.ResumeTiming();
    benchmark::DoNotOptimize(host.Dispatch(kLine));
  }
}

void Journaled(benchmark::State& state) {
  bench::BenchHost& host = bench::Host();
  for (auto _ : state) {
    state.PauseTiming();
    host.FreshCopy(kActors);
    state.ResumeTiming();
    JournalOn journal;
    benchmark::DoNotOptimize(host.Dispatch(kLine));
  }
}

void Diff(benchmark::State& state) {
  bench::BenchHost& host = bench::Host();
  std::unique_ptr<JournalOn> journal;
  for (auto _ : state) {
    state.PauseTiming();
    journal.reset();
    host.FreshCopy(kActors);
    journal = std::make_unique<JournalOn>();
    host.Dispatch(kLine);
    state.ResumeTiming();
    std::size_t bytes = 0;
    journal->touched().WriteDiff([&bytes](std::string_view piece) { bytes += piece.size(); });
    state.counters["bytes"] = static_cast<double>(bytes);
  }
  journal.reset();
}

void Line(benchmark::State& state) {
  bench::Host().Installed(kActors);
  game::World& world = game::World::Installed();
  std::size_t bytes = 0;
  world.journal().SetSink([&bytes](const std::string& line) { bytes += line.size(); });
  const void* structure = world.structures().back();
  for (auto _ : state) game::members::JournalCall(sym::AActor::Destroy, structure, true, false);
  world.journal().SetSink({});
  state.counters["bytes"] = static_cast<double>(bytes) / static_cast<double>(state.iterations());
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::RegisterBenchmark("Command", Command)->Unit(benchmark::kMillisecond)->Iterations(5);
  benchmark::RegisterBenchmark("Journaled", Journaled)
      ->Unit(benchmark::kMillisecond)
      ->Iterations(5);
  benchmark::RegisterBenchmark("Diff", Diff)->Unit(benchmark::kMillisecond)->Iterations(5);
  benchmark::RegisterBenchmark("Line", Line);
  return bench::Main(argc, argv);
}
