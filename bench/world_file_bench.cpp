// World files of a generated world (10k, 100k, 1M actors), each beside the JSON library alone
// working on the same document, in one binary:
//   JsonParse/<actors>    nlohmann::json parses the world file's text (the floor for loading)
//   WorldLoad/<actors>    the game loads that text: parse, check and build the live world
//   JsonWrite/<actors>    nlohmann::json writes the state export's document, already built, with
//                         the export's formatting (the floor for exporting)
//   StateExport/<actors>  the game's "emu.state" text of the same world
#include <benchmark/benchmark.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/support/bench_host.h"
#include "bench/support/bench_world.h"

namespace {

const std::string& WorldText(int32_t actors) {
  static std::map<int32_t, std::string> texts;
  auto& text = texts[actors];
  if (text.empty()) text = bench::GeneratedWorldJson(actors);
  return text;
}

void JsonParse(benchmark::State& state) {
  const std::string& text = WorldText(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    nlohmann::json document = nlohmann::json::parse(text);
    benchmark::DoNotOptimize(document.size());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void WorldLoad(benchmark::State& state) {
  const std::string& text = WorldText(static_cast<int32_t>(state.range(0)));
  for (auto _ : state) {
    auto game = game::Game::Create(text, "");
    benchmark::DoNotOptimize(game.get());
    state.PauseTiming();
    game.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void JsonWrite(benchmark::State& state) {
  const auto& game = bench::Host().Installed(static_cast<int32_t>(state.range(0)));
  const nlohmann::ordered_json document = nlohmann::ordered_json::parse(game.ExportState());
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string text =
        document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void StateExport(benchmark::State& state) {
  const auto& game = bench::Host().Installed(static_cast<int32_t>(state.range(0)));
  std::size_t size = 0;
  for (auto _ : state) {
    const std::string text = game.ExportState();
    size = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

// Beside the median, the fastest repetition: on a shared machine the other work only ever adds
// time, and a 1M world's runs spread widely.
double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

#define WORLD_SIZES                   \
  ->Arg(10'000)                       \
      ->Arg(100'000)                  \
      ->Arg(1'000'000)                \
      ->Unit(benchmark::kMillisecond) \
      ->ComputeStatistics("min", Fastest)
BENCHMARK(JsonParse) WORLD_SIZES;
BENCHMARK(WorldLoad) WORLD_SIZES;
BENCHMARK(JsonWrite) WORLD_SIZES;
BENCHMARK(StateExport) WORLD_SIZES;

}  // namespace

int main(int argc, char** argv) { return bench::Main(argc, argv); }
