// Session: one RCON client connection, the socket's side of a ConnectionProtocol. It reads,
// feeds the protocol and does what it says; writes login answers (after the pause they need)
// and replies; keeps the login deadline before login and the idle limit after. It lives on the
// listener's network thread only; the callbacks it starts keep it alive until it is closed.
// What it needs of its listener is the SessionHost below.
#pragma once

#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <spdlog/logger.h>
#include <asio.hpp>

#include "server/rcon/connection_protocol.h"
#include "server/rcon/request_queue.h"

namespace server::rcon {

struct ListenerOptions;

// The listener as its sessions see it. Network thread only.
class SessionHost {
 public:
  virtual ~SessionHost() = default;
  virtual const ListenerOptions& options() const = 0;
  virtual spdlog::logger& log() = 0;
  virtual LoginGuard& guard() = 0;
  virtual RequestQueue& queue() = 0;
  // The login guard's time.
  virtual LoginGuard::Clock::time_point now() const = 0;
  // Wakes the game thread to run requests.
  virtual void Schedule() = 0;
  // Every other connection from `address` that has not logged in stops.
  virtual void CloseWaitingFrom(const std::string& address, SessionId except) = 0;
  // The session has closed: forget it.
  virtual void Forget(SessionId id) = 0;
  // Finds the account whose password this is off the network thread (a hash is slow to check,
  // and the network serves every connection meanwhile); `done` then runs on the network thread.
  virtual void CheckPassword(
      std::string password,
      std::function<void(std::shared_ptr<const accounts::Account> account)> done) = 0;
};

class Session : public std::enable_shared_from_this<Session>, private ProtocolOutput {
 public:
  using Clock = std::chrono::steady_clock;

  Session(SessionHost& host, SessionId id, asio::ip::tcp::socket socket, std::string peer,
          std::string address);

  void Start();
  // Reply bytes, already counted as unread; they leave with the next Write.
  void QueueReply(std::string bytes);
  // Writes what waits, unless a write is in progress (whose end writes it).
  void Write();
  // Closes now; `reason` (empty: a normal end) is logged with the peer.
  void Close(const std::string& reason);

  SessionId id() const { return id_; }
  const std::string& address() const { return address_; }
  bool logged_in() const { return protocol_.logged_in(); }
  // The client has sent something, or has bytes on their way in: it is logging in, not idle.
  bool heard_from() const;

 private:
  // Entries written by one system call: the replies to a burst of pipelined requests leave
  // together.
  static constexpr std::size_t kMaxGathered = 64;
  struct Outgoing {
    std::string bytes;
    bool login_answer = false;  // ends a login's answer; written after auth_reply_gap
    bool reply = false;         // counted as unread in the request queue
  };

  void Send(std::string bytes, bool login_answer) override;
  std::string Queue(Packet request) override;

  void Read();
  void OnRead(std::error_code error, std::size_t n);
  // Runs the protocol over what has arrived and does what it says.
  void Continue();
  void OnWritten(std::error_code error, std::size_t entries);
  // The login deadline before login, the idle limit after.
  void ArmTimer();

  SessionHost& host_;
  SessionId id_;
  asio::ip::tcp::socket socket_;
  asio::steady_timer timer_;
  asio::steady_timer gap_timer_;
  asio::steady_timer turn_timer_;  // a login waiting for its turn to be checked
  std::string peer_;               // address:port, for the log
  std::string address_;            // for the login guard and the slots
  ConnectionProtocol protocol_;
  std::array<char, 4096> read_buffer_;
  bool was_logged_in_ = false;
  bool reading_ = false;
  bool writing_ = false;
  bool closed_ = false;
  bool checking_ = false;  // a login's password is being checked
  bool close_after_write_ = false;
  std::deque<Outgoing> outgoing_;
  std::vector<asio::const_buffer> gathered_;  // what the write in progress takes
  Clock::time_point last_activity_ = Clock::now();
};

}  // namespace server::rcon
