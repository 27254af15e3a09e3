// RconBridge: the game thread's side of the RCON listener. Each network session gets its own
// game connection (made at its first request) whose replies go back through the listener; the
// listener's work reaches the game thread through the game loop; the shared sinks are held
// over each turn of requests and written before the turn's replies leave. Game thread, except
// Post and OnSessionClosed (the listener's thread).
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "game/rcon/rcon_connection.h"
#include "server/emu_commands.h"
#include "server/game_loop.h"
#include "server/line_runner.h"
#include "server/rcon/listener.h"
#include "server/shared_sinks.h"

namespace server {

class RconBridge final : public rcon::RequestSink {
 public:
  // REQUIRES: the arguments outlive the bridge.
  RconBridge(GameLoop& loop, const LineRunner& runner, const SharedSinks& sinks)
      : loop_(loop), runner_(runner), sinks_(sinks) {}
  // REQUIRES: set before the first request, and the listener outlives the bridge's use.
  void set_listener(rcon::Listener* listener) { listener_ = listener; }

  void Post(std::function<void()> task) override { loop_.Post(std::move(task)); }
  void Handle(const rcon::Request& request) override;
  void OnTurn(bool begins) override { sinks_.Hold(begins); }
  void OnSessionClosed(rcon::SessionId session) override;

  // Requests of RCON clients are remote; the console's and --exec's are not.
  RequestOrigin OriginOf(RCONClientConnection* connection) const;

 private:
  // A session's game connection, its account and its name in the audit line.
  struct Client {
    std::unique_ptr<game::RconConnection> connection;
    std::shared_ptr<const accounts::Account> account;
    std::string source;
  };

  GameLoop& loop_;
  const LineRunner& runner_;
  const SharedSinks& sinks_;
  rcon::Listener* listener_ = nullptr;
  std::unordered_map<rcon::SessionId, Client> connections_;
  std::unordered_map<RCONClientConnection*, rcon::SessionId> sessions_;
};

}  // namespace server
