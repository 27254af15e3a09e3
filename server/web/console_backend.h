// ConsoleBackend: what the web console's requests that act do, as the routes see it: run a
// command line for a session, read the map, forget a session. The server's is the WebBridge
// (web_bridge.h); tests and the fuzzer give their own. Called from the HTTP threads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "server/web/session_store.h"

namespace server::web {

class ConsoleBackend {
 public:
  enum class Status { kDone, kBusy, kStopped, kTimedOut };
  struct Outcome {
    Status status = Status::kStopped;
    std::vector<std::string> replies;  // UTF-8, in the order they were sent
  };

  virtual ~ConsoleBackend() = default;
  // Runs `line` as the session's account and waits for its replies. kBusy: the session has
  // too many lines waiting already.
  virtual Outcome Run(const WebSession& session, std::string line) = 0;
  // The map's snapshot (map_data.h); none when the server is stopping or too busy.
  virtual std::optional<std::string> MapSnapshot() = 0;
  // The session has ended: what it had waiting is dropped.
  virtual void Ended(uint64_t session) = 0;
};

}  // namespace server::web
