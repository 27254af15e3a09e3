// TimedSweepNotes: the server's own log line for each timed structure sweep of the plugin, the
// re-runs of DestroyTribeStructures and DestroyTribeAll 15 and 20 s after the request. The
// plugin's line says only that a sweep runs ("Timed Destroyed Requested"); the server's line
// beside it names the tribe, the request that scheduled the sweep and how many structures the
// sweep destroyed. The plugin keeps its schedule to itself, so the notes keep a copy of it from
// the requests that scheduled sweeps (those whose first reply begins "Destroyed"), by the
// plugin's rule: a sweep at the calendar seconds 5 and 10 s after the request unless that
// second is taken, each run once 10 s old, earliest first.
// Structures are counted in the installed world. Game thread only; the watcher sink may be called
// from any thread and passes only the plugin's line on.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <spdlog/logger.h>
#include <spdlog/sinks/sink.h>

#include "game/rcon/rcon_connection.h"

namespace server {

class TimedSweepNotes {
 public:
  // A request line has run at calendar second `now` and sent `replies`.
  void AfterRequest(std::string_view line, const std::vector<game::RconReply>& replies,
                    int64_t now);
  // The plugin has said that a sweep runs: the earliest entry is the one, and its tribe's
  // structures are counted before they go.
  void SweepStarting();
  // After the timer callbacks of a tick: one line for each sweep that ran in it.
  void AfterTimers(spdlog::logger& log);
  // The plugin was unloaded, and its schedule with it.
  void Forget() { schedule_.clear(); }

  // A sink for every logger that calls `notes`' SweepStarting at the plugin's line, while the
  // notes last. REQUIRES: the plugin logs that line on the game thread.
  static std::shared_ptr<spdlog::sinks::sink> Watcher(std::weak_ptr<TimedSweepNotes> notes);

 private:
  struct Sweep {
    int32_t tribe = 0;    // as the plugin reads the request's tribe word
    std::string request;  // the request line
    int64_t requested_at = 0;
    std::optional<int32_t> structures_before;  // set once the sweep runs
  };
  std::map<int64_t, Sweep> schedule_;  // by the calendar second the plugin keys it on
  std::vector<Sweep> running_;         // sweeps of the current tick
};

}  // namespace server
