// Listener: the RCON server on TCP. It owns one network thread that accepts, reads, decodes,
// authenticates and writes; requests of logged-in clients go to a RequestSink (which must hand
// them to the game thread without blocking), and replies come back through Reply() from any
// thread. Nothing here ever waits for the game thread, and the game thread never waits here.
//
// Defences: packets outside the size limits, a truncated packet or a command before login
// close that connection only; connections beyond the limit and locked-out addresses are
// refused at accept; idle connections are closed; a client that does not read its replies or
// floods requests is paused or closed. Every refusal is logged with the peer's address.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include <spdlog/logger.h>

#include "server/rcon/login_guard.h"

namespace asio {
class io_context;
}  // namespace asio

namespace server::rcon {

using SessionId = uint64_t;

struct Request {
  SessionId session = 0;
  int32_t id = 0;
  int32_t type = 0;
  std::string body;  // UTF-8 as the client sent it
};

// Receives the requests of logged-in clients, in arrival order per connection.
// Called on the network thread: implementations must not block.
class RequestSink {
 public:
  virtual ~RequestSink() = default;
  // Every request must eventually be answered by Listener::Done (replies are optional).
  virtual void OnRequest(Request request) = 0;
  // The connection is gone; replies to it are dropped from now on.
  virtual void OnSessionClosed(SessionId session) = 0;
};

struct ListenerOptions {
  std::string bind_address = "127.0.0.1";
  uint16_t port = 27020;  // 0 picks a free port (see Listener::port)
  std::string password;   // REQUIRES: not empty
  int max_connections = 16;
  std::chrono::milliseconds idle_timeout = std::chrono::minutes(10);
  LoginGuard::Limits login_limits;
  // Pause between the two packets that answer a login. Some clients read each packet through a
  // fresh buffered reader and lose a second packet that arrived in the same read.
  std::chrono::milliseconds auth_reply_gap{50};
  // Per connection: requests handed on but not yet done before reading pauses, and reply
  // bytes not yet taken by the client beyond which a further reply closes the connection.
  int max_pending_requests = 64;
  std::size_t max_pending_output = 16u << 20;
  std::shared_ptr<spdlog::logger> log;  // none: nothing is logged
};

class Listener {
 public:
  // Binds, listens and starts the network thread. Throws std::system_error (with the address
  // in its message) when the address cannot be bound. `sink` must outlive the listener.
  static std::unique_ptr<Listener> Start(ListenerOptions options, RequestSink& sink);
  // The same on the caller's event loop instead of a thread of its own: `loop` is run by its
  // owner (the game thread, so requests reach the sink there), and the listener is destroyed
  // after that loop has stopped running.
  static std::unique_ptr<Listener> Start(ListenerOptions options, RequestSink& sink,
                                         asio::io_context& loop);
  // Closes every connection and joins the network thread.
  virtual ~Listener() = default;

  virtual uint16_t port() const = 0;
  // Any thread. Sends one reply (split into packets as needed); dropped if the session is gone.
  virtual void Reply(SessionId session, int32_t id, int32_t type, std::string body) = 0;
  // Any thread. The session's oldest outstanding request has been handled.
  virtual void Done(SessionId session) = 0;
};

// Compares in time that depends only on `candidate`'s length, never on where they differ.
bool ConstantTimeEquals(std::string_view candidate, std::string_view secret);

}  // namespace server::rcon
