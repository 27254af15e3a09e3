// WebBridge: the game thread's side of the web console. The browsers' command lines wait in a
// RequestQueue (one connection per session) and run on the game thread in turns, round-robin
// between sessions, through the same LineRunner as RCON requests, so that a session with a
// backlog delays each other by at most one request and a browser that has gone away holds back
// only its own HTTP thread. It also builds the map's snapshot, and, from the journal, publishes
// journal lines and the rows of the entities each command touched (see map_data.h).
// Run, MapSnapshot and Ended: HTTP threads; Stop: after the game loop has stopped; the rest:
// the game thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/rcon/rcon_connection.h"
#include "server/emu_commands.h"
#include "server/game_loop.h"
#include "server/line_runner.h"
#include "server/rcon/request_queue.h"
#include "server/shared_sinks.h"
#include "server/web/console_backend.h"
#include "server/web/event_hub.h"
#include "server/web/session_store.h"

namespace server::web {

class WebBridge final : public ConsoleBackend {
 public:
  // REQUIRES: the arguments outlive the bridge.
  WebBridge(GameLoop& loop, const LineRunner& runner, const SharedSinks& sinks, EventHub& hub);
  ~WebBridge();

  // The largest reply (emu.state's) a web session is given; a larger state is written to a file.
  static constexpr std::size_t kMaxReplyBytes = 64u << 20;
  // How long an HTTP thread waits for the game thread before it answers "timed out".
  static constexpr std::chrono::seconds kWait{300};

  Outcome Run(const WebSession& session, std::string line) override;
  std::optional<std::string> MapSnapshot() override;
  void Ended(uint64_t session) override;
  // Every wait ends; nothing more is queued.
  void Stop();

  // Game thread: the journal's hooks (Journal::SetSink, Journal::SetObserver).
  void OnJournalLine(const std::string& line);
  void Observe(const nlohmann::ordered_json& self, const nlohmann::ordered_json& args);
  // Game thread: web sessions' lines count as remote, as RCON clients' do.
  std::optional<RequestOrigin> OriginOf(RCONClientConnection* connection) const;

 private:
  // What an HTTP thread waits for.
  struct Pending {
    std::mutex mutex;
    std::condition_variable done_cv;
    bool done = false;
    uint64_t session = 0;  // none for the map snapshot
    Outcome outcome;
    std::string bytes;  // the map snapshot
    void Finish(Status status);
  };
  struct Client {
    std::unique_ptr<game::RconConnection> connection;
    std::vector<std::string> replies;
  };

  // Waits for `pending` to finish, up to `wait`; forgets it when it has not.
  void Await(int32_t id, Pending& pending, std::chrono::milliseconds wait);
  // Takes the pending entry `id` out, if it is still there.
  std::shared_ptr<Pending> Claim(int32_t id);
  void Schedule();
  void Drain();
  void PublishTouched();

  GameLoop& loop_;
  const LineRunner& runner_;
  const SharedSinks& sinks_;
  EventHub& hub_;
  rcon::RequestQueue queue_;

  std::mutex mutex_;  // over pending_, next_id_, stopped_, drain_posted_
  std::unordered_map<int32_t, std::shared_ptr<Pending>> pending_;
  int32_t next_id_ = 1;
  bool stopped_ = false;
  bool drain_posted_ = false;

  // Game thread.
  std::unordered_map<uint64_t, Client> clients_;
  std::unordered_map<RCONClientConnection*, uint64_t> sessions_;
  std::set<std::string> touched_;
};

}  // namespace server::web
