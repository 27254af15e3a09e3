// Request lines dispatched to the plugin on the default world, in one process. An input whose
// first byte is below 0x80 is the whole line (UTF-8, as an RCON body); otherwise that byte picks
// a registered command and the rest follows it as its arguments, so that every command the
// plugin registers is reached, new ones included.
//
// After each line: no crash and no sanitizer report; every reply carries the request's id; and
// the game allocator's live blocks are back at their baseline. A line that changed the count
// is followed by a fresh default world, which restores what the line destroyed or made; a block
// still missing or left over after that is a leak. Lines that acted on the world without
// changing the count (experience, messages, positions) leave it as they made it, and every
// kRefreshAfter of them the world is made afresh, so that it stays close to the default world.
// After a line that acted, the framework's clock moves a minute on and the timers tick, so that
// timed work it scheduled runs (and is fuzzed) rather than piling up.
//
// The plugin stays loaded for the whole run: libFuzzer keeps the coverage counters of every
// library it has seen, so an instrumented library must not be unloaded under it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "framework/host/running_game.h"
#include "game/game.h"
#include "game/util/text.h"
#include "game/world/world_file_reader.h"
#include "tests/support/test_host.h"

namespace {

// Torn down by an exit handler registered after they were made, which runs before the
// handlers of the framework's and the plugin's statics.
support::TestHost* host = nullptr;
game::Game* world = nullptr;
std::string root;
std::filesystem::path start_dir;  // the profile removal leaves the process in the map folder
bool journaled = false;
int acted = 0;  // lines that acted on the world since it was made
constexpr int kRefreshAfter = 500;
std::vector<std::u16string> commands;
int64_t baseline = 0;

void FreshWorld() {
  static const game::WorldDescription description = game::ParseWorldFile(game::DefaultWorldJson());
  delete world;
  world = game::Game::Create(description, root).release();
  acted = 0;
  world->Install();
  world->SetJournalSink([](const std::string&) { journaled = true; });
}

[[noreturn]] void Fail(const char* what, const std::u16string& line) {
  std::fprintf(stderr, "%s after the line \"%s\"\n", what, game::ToUtf8(line).c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvane-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  root = pattern;
  start_dir = std::filesystem::current_path();
  std::filesystem::create_directories(root + "/Binaries/Win64/HostApi/Plugins/Orvane");
  host = new support::TestHost;
  FreshWorld();
  framework::SetCurrentDir(framework::BinariesDirOf(root));
  host->LoadPlugin();
  commands = framework::RconCommandNames();
  baseline = host->live_blocks();
  std::atexit([] {
    host->UnloadPlugin();
    delete world;
    world = nullptr;
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::u16string line;
  if (size > 0 && data[0] >= 0x80 && !commands.empty())
    line = commands[(data[0] - 0x80) % commands.size()] + u" " + game::ToUtf16(bytes.substr(1));
  else
    line = game::ToUtf16(bytes);

  // The container stress test runs as long as its argument asks (minutes under the sanitizers
  // for the largest it takes): it has tests of its own and is left out here.
  const std::size_t start = std::min(line.find_first_not_of(u' '), line.size());
  const std::u16string_view first(line.data() + start,
                                  std::min(line.find(u' ', start), line.size()) - start);
  if (game::EqualsIgnoringCase(first, u"TestCommand")) return 0;

  journaled = false;
  for (const auto& reply : host->Dispatch(line, 7, 2))
    if (reply.id != 7) Fail("a reply without the request's id", line);
  // libFuzzer writes its corpus and crash files by the paths it was given.
  std::filesystem::current_path(start_dir);
  if (journaled) {
    // Timed work the line scheduled (a structure sweep) falls due and runs.
    framework::AdvanceClock(std::chrono::seconds(60));
    framework::TickTimers();
  }
  world->CollectGarbage();
  host->log().Clear();  // the capture sink must not grow for ever
  if (host->live_blocks() == baseline && (!journaled || ++acted < kRefreshAfter)) return 0;
  FreshWorld();
  if (host->live_blocks() != baseline) Fail("game blocks left behind or lost", line);
  return 0;
}
