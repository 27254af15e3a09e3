// The RCON protocol of one connection, apart from its socket: it decodes what the client sends,
// answers logins with the help of the login guard, hands on what a logged-in client asks for,
// and says what the connection must do next. The listener drives it on its network thread;
// tests and the fuzzers drive it with any byte stream. Not thread-safe.
//
// Packet types:
//   3 (auth)            a login attempt, at any time; answered by an empty response value and
//                       an auth response (the request's id, or -1 on failure). After each login
//                       nothing more is taken until that answer has been written, so pipelined
//                       guesses meet the lockout one by one. While the address is locked out the
//                       answer is a failure, whatever the password, and the connection closes.
//                       While the server refuses more passwords a second than the login guard
//                       allows, a login waits its turn before its password is checked; one
//                       whose turn is too far away closes the connection unchecked.
//   2 (command)         after login: a command for the game thread.
//   0 (response value)  after login: an end marker, answered in order (after the replies of the
//                       commands before it) by one empty response value with its id, so that a
//                       client can tell where a reply cut into several packets ends.
//   anything else       after login: ignored and logged.
// Before login any packet but a login closes the connection.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <spdlog/logger.h>

#include "server/accounts/account_store.h"
#include "server/rcon/login_guard.h"
#include "server/rcon/packet.h"

namespace server::rcon {

// What the protocol asks of its connection.
class ProtocolOutput {
 public:
  virtual ~ProtocolOutput() = default;
  // Bytes for the client, written in order. `login_answer`: the last packet of a login's
  // answer; the connection writes it after a short pause and, once it is written, calls
  // LoginAnswered (unless the connection is closing).
  virtual void Send(std::string bytes, bool login_answer) = 0;
  // A command or an end marker of a logged-in client, in arrival order. Returns an empty
  // string, or why the connection must close at once.
  virtual std::string Queue(Packet request) = 0;
};

class ConnectionProtocol {
 public:
  using Clock = LoginGuard::Clock;

  enum class Next {
    kRead,              // every complete packet was handled: read more bytes
    kAwaitCheck,        // a login's password is to be checked off this thread: neither read
                        // nor Process until Checked gives the account it found
    kAwaitLoginAnswer,  // neither read nor Process until LoginAnswered
    kAwaitTurn,         // neither read nor Process until turn_wait() has passed
    kCloseAfterSend,    // write what was sent, then close; read nothing more
    kCloseNow,          // close at once
  };

  // REQUIRES: `accounts`, `guard`, `log` and `output` outlive the protocol.
  ConnectionProtocol(const accounts::AccountStore& accounts, int32_t max_packet_size,
                     LoginGuard& guard, std::string address, std::string peer, spdlog::logger& log,
                     ProtocolOutput& output);

  void Feed(std::string_view bytes) {
    heard_from_ = true;
    decoder_.Feed(bytes);
  }
  // Handles the complete packets in order until it must stop; `now` is the login guard's time.
  // Once it has said to close, it says so again.
  Next Process(Clock::time_point now);
  void LoginAnswered() { awaiting_login_answer_ = false; }
  // After kAwaitCheck: the password to check (an account's hash is slow to check, so the
  // network thread has it checked elsewhere), then the account whose password it is, or null.
  const std::string& password_to_check() const { return checking_->body; }
  void Checked(std::shared_ptr<const accounts::Account> account, Clock::time_point now);
  // After kAwaitTurn: how long the login waits before its password is checked.
  Clock::duration turn_wait() const { return turn_wait_; }

  bool logged_in() const { return logged_in_; }
  // The account the last login found (the password identifies it); null before a login or
  // after a failed one.
  const std::shared_ptr<const accounts::Account>& account() const { return account_; }
  // A login failure of this connection locked its address out: the other connections from
  // that address that have not logged in must stop too.
  bool started_lockout() const { return started_lockout_; }
  // Why the connection closes (for the log); empty for a normal end.
  const std::string& close_reason() const { return close_reason_; }
  // Bytes of an incomplete packet are waiting: an end of stream now means truncation.
  bool has_partial() const { return decoder_.has_partial(); }
  // The client has sent something: a login on its way, say.
  bool heard_from() const { return heard_from_; }

 private:
  // A login packet: answered now, or kept until its turn (then true).
  bool WaitForTurn(Packet& packet, Clock::time_point now);
  Next Login(Packet packet, Clock::time_point now);
  // A login from a locked-out address: refused, the connection to close. False when the
  // address is not locked out.
  bool RefusedAsLockedOut(int32_t id, Clock::time_point now);
  void Answer(int32_t id, bool ok);
  Next Finish(Next how, std::string reason);

  const accounts::AccountStore& accounts_;
  std::shared_ptr<const accounts::Account> account_;
  LoginGuard& guard_;
  std::string address_;  // for the login guard
  std::string peer_;     // address:port, for the log
  spdlog::logger& log_;
  ProtocolOutput& output_;
  PacketDecoder decoder_;
  bool logged_in_ = false;
  bool awaiting_login_answer_ = false;
  bool started_lockout_ = false;
  bool heard_from_ = false;
  std::optional<Packet> waiting_login_;  // until its turn
  std::optional<Packet> checking_;       // while its password is checked
  bool turn_reserved_ = false;           // the login holds a turn of the server-wide pace
  Clock::time_point turn_at_{};
  Clock::duration turn_wait_{};
  Next finished_ = Next::kRead;  // kCloseAfterSend or kCloseNow once decided
  std::string close_reason_;
};

}  // namespace server::rcon
