#include "bench/support/bench_host.h"

#include <malloc.h>

#include <unistd.h>

#include <filesystem>
#include <map>

#include <benchmark/benchmark.h>
#include <spdlog/sinks/null_sink.h>

#include "bench/support/bench_world.h"
#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"
#include "framework/host/running_game.h"

namespace bench {

BenchHost::BenchHost() : root_("/tmp/orvane-bench-root-" + std::to_string(getpid())) {
  framework::ClearLogSinks();
  framework::AddLogSink(std::make_shared<spdlog::sinks::null_sink_mt>());
  framework::SetCurrentDir(framework::BinariesDirOf(root_));
  std::filesystem::create_directories(root_ + "/Binaries/Win64/HostApi/Plugins/Orvane");
}

BenchHost::~BenchHost() {
  plugin_.reset();
  copy_.reset();
  built_.clear();
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void BenchHost::EnsurePlugin() {
  if (!plugin_) plugin_ = framework::LoadedPlugin::Load(ORVANE_PLUGIN_PATH);
}

const game::WorldDescription& BenchHost::Description(int32_t actors) {
  auto& slot = descriptions_[actors];
  if (slot.players.empty()) slot = GeneratedWorld(actors);
  return slot;
}

game::Game& BenchHost::Installed(int32_t actors) {
  auto& slot = built_[actors];
  if (!slot) slot = game::Game::Create(Description(actors), root_);
  slot->Install();
  EnsurePlugin();
  return *slot;
}

game::Game& BenchHost::FreshCopy(int32_t actors) {
  copy_.reset();
  copy_ = game::Game::Create(Description(actors), root_);
  copy_->Install();
  EnsurePlugin();
  return *copy_;
}

void BenchHost::KeepInstalledOnly() {
  copy_.reset();
  descriptions_.clear();
  ::malloc_trim(0);
}

std::size_t BenchHost::Dispatch(std::u16string_view line) {
  connection_.ClearReplies();
  RCONPacket packet;
  packet.Id = 7;
  packet.Type = 2;
  packet.Body = FString(line);
  framework::Dispatch(connection_.Handle(), &packet, HostApi::GetApiUtils().CurrentWorld());
  return connection_.replies().size();
}

std::u16string BenchHost::LastReply() const {
  return connection_.replies().empty() ? std::u16string() : connection_.replies().back().Utf16();
}

namespace {
BenchHost* current_host = nullptr;
}  // namespace

BenchHost& Host() { return *current_host; }

int Main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  BenchHost host;
  current_host = &host;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  current_host = nullptr;
  return 0;
}

}  // namespace bench
