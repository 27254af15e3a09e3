// WebConsole: the web console served over HTTP (cpp-httplib) on threads of its own: the built-in
// pages, the routes of WebApp, and each session's live stream of events as server-sent events.
// Its commands and map reads reach the game thread through a WebBridge. While a browser watches
// the live stream, the installed world's journal is on (its lines and the entities they touch
// feed the streams), written on to whatever sink it had before. Start, OriginOf and the destructor:
// the game thread, the destructor after the game loop has stopped.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <spdlog/logger.h>

#include "server/accounts/account_store.h"
#include "server/emu_commands.h"
#include "server/game_loop.h"
#include "server/line_runner.h"
#include "server/rcon/login_guard.h"
#include "server/shared_sinks.h"
#include "server/web/event_hub.h"

namespace server::web {

struct WebConsoleOptions {
  std::string bind_address = "127.0.0.1";
  uint16_t port = 0;  // 0: any free port
  std::shared_ptr<rcon::LoginGuard> guard;
  std::shared_ptr<const accounts::AccountStore> accounts;
  std::shared_ptr<spdlog::logger> log;
};

class WebConsole {
 public:
  // Binds and starts serving. Throws std::runtime_error naming the address when it cannot bind.
  // REQUIRES: the references outlive the console; `events` feeds on the audit lines already.
  static std::unique_ptr<WebConsole> Start(WebConsoleOptions options, GameLoop& loop,
                                           const LineRunner& runner, const SharedSinks& sinks,
                                           EventHub& events);
  // Ends every wait and stream and joins the HTTP threads.
  virtual ~WebConsole() = default;

  virtual uint16_t port() const = 0;
  virtual std::optional<RequestOrigin> OriginOf(RCONClientConnection* connection) const = 0;
};

}  // namespace server::web
