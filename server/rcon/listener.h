// Listener: the RCON server on TCP. It accepts, reads, decodes, authenticates and writes on a
// network thread of its own, so that logins, the lockout and the slot rules never wait for the
// game thread. Requests of logged-in clients wait in a RequestQueue; the game thread runs them
// in turns, round-robin between connections, through a RequestSink, and replies come back
// through Reply(). The replies of a turn leave once the turn is over and the sink has written
// its log lines. Nothing here ever waits for the game thread, and the game thread never waits
// here. Each connection is a Session (server/rcon/session.h).
//
// Defences, each logged with the peer's address: packets outside the size limits, a truncated
// packet or anything but a login before login close that connection only; a connection must
// log in within the login deadline and, once logged in, is closed when idle; failed logins
// lock their address out, and failures beyond a server-wide rate wait their turn (see
// ConnectionProtocol); slots: at most max_connections at once, at most max_per_address from one
// address, and reserved_slots of them only for logged-in connections: when the connections
// still logging in fill the rest, a newcomer takes the slot of one that has sent nothing, from
// the address holding most of them or else opening most connections lately, the oldest first. A
// connection with more than max_queued_requests waiting, or whose next reply would take its unread
// reply bytes past max_unread_bytes, is closed.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <spdlog/logger.h>

#include "server/accounts/account_store.h"
#include "server/rcon/login_guard.h"
#include "server/rcon/packet.h"
#include "server/rcon/request_queue.h"

namespace server::rcon {

// The game thread's side of the listener.
class RequestSink {
 public:
  virtual ~RequestSink() = default;
  // Listener's thread, must not block: run `task` on the game thread, after what was posted
  // before.
  virtual void Post(std::function<void()> task) = 0;
  // Game thread: runs one command of a logged-in client. Replies (any number, or none) go
  // through Listener::Reply; the request is done when this returns.
  virtual void Handle(const Request& request) = 0;
  // Game thread: a turn of requests begins (true) or has ended (false). The sink may hold its
  // log lines over the turn, but when the call with false returns every line the turn's
  // requests logged must be written: the turn's replies leave right after it.
  virtual void OnTurn(bool begins) { (void)begins; }
  // Listener's thread: the connection is gone; its waiting requests and replies are dropped.
  virtual void OnSessionClosed(SessionId session) = 0;
};

struct ListenerOptions {
  std::string bind_address = "127.0.0.1";
  uint16_t port = 27020;  // 0 picks a free port (see Listener::port)
  std::string password;   // REQUIRES: not empty, unless `accounts` is given
  // Who may log in and run what; none: the password alone, which may run every command.
  std::shared_ptr<const accounts::AccountStore> accounts;
  int max_connections = 16;
  // Below max_connections; none: a quarter of them. At least one slot always stays open to
  // clients logging in.
  std::optional<int> reserved_slots;
  int max_per_address = 8;
  std::chrono::milliseconds login_deadline = std::chrono::seconds(5);  // 0: none
  std::chrono::milliseconds idle_timeout = std::chrono::minutes(10);   // 0: none
  LoginGuard::Limits login_limits;
  // The failure counts and lockouts, shared with the server's other ways in; none: the
  // listener's own, made with login_limits.
  std::shared_ptr<LoginGuard> login_guard;
  // Pause between the two packets that answer a login. Some clients read each packet through a
  // fresh buffered reader and lose a second packet that arrived in the same read.
  std::chrono::milliseconds auth_reply_gap{50};
  int32_t max_packet_size = kMaxPacketSize;  // largest size field a client may send
  std::size_t max_queued_requests = 1024;
  std::size_t max_unread_bytes = 16u << 20;
  // The login guard's time; none: the steady clock. Tests move it to end a lockout.
  std::function<LoginGuard::Clock::time_point()> clock;
  std::shared_ptr<spdlog::logger> log;  // none: nothing is logged
};

class Listener {
 public:
  // Binds, listens and starts the network thread. Throws std::system_error (with the address
  // in its message) when the address cannot be bound. `sink` must outlive the listener, and
  // the game thread must have stopped running the sink's posted tasks before it is destroyed.
  static std::unique_ptr<Listener> Start(ListenerOptions options, RequestSink& sink);
  // Closes every connection and joins the network thread.
  virtual ~Listener() = default;

  virtual uint16_t port() const = 0;
  // Any thread. Sends one reply (split into packets as needed); dropped if the session is gone.
  // A reply that would take the session's unread bytes past max_unread_bytes closes it instead.
  // A reply of a request in the game's turn leaves at the turn's end.
  virtual void Reply(SessionId session, int32_t id, int32_t type, std::string body) = 0;
  // Any thread. How many bytes (as EncodedReplySize counts them) a reply to `session` may have
  // now; 0 when the session is gone.
  virtual std::size_t ReplyRoom(SessionId session) const = 0;
};

}  // namespace server::rcon
