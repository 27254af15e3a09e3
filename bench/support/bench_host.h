// BenchHost: the framework and the real plugin library in the benchmark's process, and the
// generated worlds it runs commands on. Requests are dispatched on the calling thread, which
// plays the game thread.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "framework/host/plugin_loader.h"
#include "game/game.h"
#include "game/rcon/rcon_connection.h"
#include "game/world/world_description.h"

namespace bench {

class BenchHost {
 public:
  // Log lines go nowhere; the plugin is loaded once the first world is installed.
  BenchHost();
  ~BenchHost();
  BenchHost(const BenchHost&) = delete;
  BenchHost& operator=(const BenchHost&) = delete;

  // The generated world of `actors` actors, built once and installed. Its root is a temporary
  // folder (dump files land there), removed with the host.
  game::Game& Installed(int32_t actors);
  // A new copy of that world, installed, for commands that change it; the previous copy is
  // dropped first.
  game::Game& FreshCopy(int32_t actors);

  // Drops the fresh copy and the descriptions and gives their memory back, so that the process
  // holds what a server holds: the installed worlds (a fork's cost grows with all of it).
  void KeepInstalledOnly();

  // Dispatches one request line and returns how many replies it produced.
  std::size_t Dispatch(std::u16string_view line);
  // The text of the last dispatch's last reply.
  std::u16string LastReply() const;

  const std::string& root() const { return root_; }
  // The generated world's description, made once per size.
  const game::WorldDescription& Description(int32_t actors);

 private:
  void EnsurePlugin();

  std::string root_;
  std::map<int32_t, game::WorldDescription> descriptions_;
  std::map<int32_t, std::unique_ptr<game::Game>> built_;
  std::unique_ptr<game::Game> copy_;
  game::RconConnection connection_;
  std::unique_ptr<framework::LoadedPlugin> plugin_;
};

// The host of the running benchmark binary. REQUIRES: inside Main.
BenchHost& Host();

// A benchmark binary's main: makes the host, runs the benchmarks chosen on the command line
// (Google Benchmark's flags) and drops the host before static destruction begins.
int Main(int argc, char** argv);

}  // namespace bench
