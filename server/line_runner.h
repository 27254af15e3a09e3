// LineRunner: runs one request line through the framework's dispatch, whoever sent it (an RCON
// client, the console, an --exec line), then frees what the request destroyed and writes its
// audit line. Game thread only.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "game/game.h"
#include "game/rcon/rcon_connection.h"
#include "server/accounts/accounts.h"
#include "server/audit.h"
#include "server/timed_sweep_notes.h"

namespace server {

class LineRunner {
 public:
  // REQUIRES: `game` and `audit` outlive the runner. `root` is the server root, whose written
  // folders are compared around a journaled request to journal its file effects.
  // `notes`, when given, learns of each request's replies.
  LineRunner(game::Game& game, const Audit& audit, std::filesystem::path root,
             TimedSweepNotes* notes = nullptr)
      : game_(game), audit_(audit), root_(std::move(root)), notes_(notes) {}

  // Replies go to the connection's outlet. Actors destroyed by the request are freed once it
  // is over, never inside a handler. `source` names the sender in the audit line. A command
  // that `account` may not run is answered "Not allowed: NAME" straight to the outlet and
  // reaches nothing of the game, not even the journal; none: every command may run.
  void Run(game::RconConnection& connection, std::string_view source, int32_t id, int32_t type,
           std::string_view utf8, const accounts::Account* account = nullptr) const;

 private:
  game::Game& game_;
  const Audit& audit_;
  std::filesystem::path root_;
  TimedSweepNotes* notes_;
};

}  // namespace server
