// emu.preview beside the plain command, on the generated world of 1M actors:
//   Command/<line>  the line dispatched to the real plugin (a fresh copy of the world for each
//                   run, made outside the timed part)
//   Preview/<line>  "emu.preview <line>": the fork, the line in the copy with its journal, the
//                   report (world changes, files, timer probe) and its way back through the pipe
// A few-entity line and the destruction of the large bench tribe. The preview leaves the world as
// it was, so it runs on the installed world without copies, in a process that then holds that
// world only, as a server does (a fork's cost grows with all the process holds). On a shared
// machine the times wait for the processor too: copy_cpu_ms (the copies' processor time per
// preview, counted once they are reaped) and the CPU column (the parent's) tell the work from the
// waiting. copy_faults (the copies' minor page faults per preview) counts mostly the pages a copy
// wrote and so had copied.
#include <sys/resource.h>
#include <sys/wait.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "bench/support/bench_host.h"
#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"
#include "server/held_sink.h"
#include "server/preview/preview_commands.h"

namespace {

constexpr int32_t kActors = 1'000'000;
constexpr const char* kLines[] = {"KillPlayerId 500000000", "DestroyTribeAll 1000001"};

// The log goes nowhere, but the copies capture it as the server's do (their report's log, and
// the timers' lines that tell what was scheduled).
server::HeldSink& LogSink() {
  static const auto sink = std::make_shared<server::HeldSink>("/dev/null");
  return *sink;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

void RunCommand(benchmark::State& state, std::string line) {
  bench::BenchHost& host = bench::Host();
  for (auto _ : state) {
    state.PauseTiming();
    host.FreshCopy(kActors);
    state.ResumeTiming();
    benchmark::DoNotOptimize(host.Dispatch(Wide(line)));
  }
}

void RunPreview(benchmark::State& state, std::string line) {
  bench::BenchHost& host = bench::Host();
  host.Installed(kActors);
  host.KeepInstalledOnly();
  static const bool registered = [&host] {
    server::RegisterPreviewCommands(
        {host.root(),
         host.root(),
         [] { LogSink().LockForFork(); },
         [] { LogSink().UnlockAfterFork(); },
         [](server::HeldSink::Capture c) { LogSink().CaptureInChild(std::move(c)); },
         {}});
    return true;
  }();
  (void)registered;
  auto children = [] {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return usage;
  };
  auto cpu_ms = [](const rusage& usage) {
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
  };
  const rusage before = children();
  for (auto _ : state) benchmark::DoNotOptimize(host.Dispatch(Wide("emu.preview " + line)));
  // The copies are reaped off the game thread: wait until the last one is.
  while (::waitpid(-1, nullptr, WNOHANG) == 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const rusage after = children();
  const auto runs = static_cast<double>(state.iterations());
  state.counters["copy_cpu_ms"] = (cpu_ms(after) - cpu_ms(before)) / runs;
  state.counters["copy_faults"] = static_cast<double>(after.ru_minflt - before.ru_minflt) / runs;
  state.counters["report_bytes"] = static_cast<double>(host.LastReply().size());
}

}  // namespace

int main(int argc, char** argv) {
  bench::Host();
  framework::ClearLogSinks();
  framework::AddLogSink(std::shared_ptr<spdlog::sinks::sink>(&LogSink(), [](auto*) {}));
  // The previews first: the commands leave the plugin's structure sweeps scheduled, which every
  // later preview would probe as well.
  for (const char* line : kLines)
    benchmark::RegisterBenchmark((std::string("Preview/") + line).c_str(), RunPreview, line)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
  for (const char* line : kLines)
    benchmark::RegisterBenchmark((std::string("Command/") + line).c_str(), RunCommand, line)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(5);
  return bench::Main(argc, argv);
}
