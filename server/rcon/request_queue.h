// RequestQueue: the requests of each connection on their way to the game thread, and the reply
// bytes each client has not yet taken. The game thread takes requests round-robin between
// connections, so that one client's backlog delays each other client by at most one request;
// a connection whose unread replies pass the hold level gets nothing run until it reads, so a
// client that does not read holds back only itself. Closing a connection drops its requests.
// Thread-safe: the network thread adds requests and counts written bytes, the game thread
// takes requests, replies are counted from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "server/accounts/accounts.h"

namespace server::rcon {

using SessionId = uint64_t;

struct Request {
  SessionId session = 0;
  int32_t id = 0;
  int32_t type = 0;
  std::string body;                                  // UTF-8 as the client sent it
  std::string peer;                                  // the client's address:port, for the log
  std::shared_ptr<const accounts::Account> account;  // who logged in on the connection
};

class RequestQueue {
 public:
  struct Limits {
    std::size_t max_queued = 1024;         // requests waiting per connection
    std::size_t max_unread = 16u << 20;    // reply bytes not yet written per connection
    std::size_t hold_unread = 256u << 10;  // above this nothing of the connection is run
  };
  explicit RequestQueue(Limits limits) : limits_(limits) {}

  void Open(SessionId session);
  // Forgets the connection; its waiting requests are dropped, never run.
  void Close(SessionId session);

  enum class PushResult { kAccepted, kFull, kUnknown };
  // kFull: the connection already has max_queued requests waiting (it must close).
  PushResult Push(Request request);
  // The next request, round-robin between connections that are not held back.
  std::optional<Request> Take();
  // The request last taken for `session` has been handled.
  void Finished(SessionId session);
  // Take would give a request.
  bool Ready() const;
  // The connection has a request being handled, or waiting and not held back: the game owes
  // it work. A held connection owes its client the reading.
  bool Busy(SessionId session) const;

  enum class ReplyResult { kAccepted, kOverLimit, kUnknown };
  // Counts a reply of `bytes` (on the wire); kOverLimit: it would take the unread bytes past
  // max_unread and is not counted (the connection must close).
  ReplyResult AddUnread(SessionId session, std::size_t bytes);
  // `bytes` of the connection's replies were written. True when this ends its hold while it
  // has requests waiting: the game thread should be woken.
  bool ReleaseUnread(SessionId session, std::size_t bytes);
  // How many bytes a reply to `session` may have now; 0 for an unknown connection.
  std::size_t Room(SessionId session) const;
  std::size_t Unread(SessionId session) const;

  const Limits& limits() const { return limits_; }

 private:
  struct Connection {
    std::deque<Request> waiting;
    std::size_t unread = 0;
    bool in_turn = false;  // listed in turns_
    bool running = false;
  };
  bool Held(const Connection& c) const { return c.unread > limits_.hold_unread; }
  void EnterTurn(SessionId session, Connection& c);

  const Limits limits_;
  mutable std::mutex mutex_;
  std::unordered_map<SessionId, Connection> connections_;
  std::deque<SessionId> turns_;  // connections with requests waiting, next first
};

}  // namespace server::rcon
