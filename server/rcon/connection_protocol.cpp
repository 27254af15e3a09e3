#include "server/rcon/connection_protocol.h"

#include <fmt/format.h>

#include "server/rcon/log_text.h"

namespace server::rcon {

ConnectionProtocol::ConnectionProtocol(const accounts::AccountStore& accounts,
                                       int32_t max_packet_size, LoginGuard& guard,
                                       std::string address, std::string peer, spdlog::logger& log,
                                       ProtocolOutput& output)
    : accounts_(accounts),
      guard_(guard),
      address_(std::move(address)),
      peer_(std::move(peer)),
      log_(log),
      output_(output),
      decoder_(max_packet_size) {}

ConnectionProtocol::Next ConnectionProtocol::Process(Clock::time_point now) {
  if (finished_ != Next::kRead) return finished_;
  if (checking_) return Next::kAwaitCheck;
  if (awaiting_login_answer_) return Next::kAwaitLoginAnswer;
  if (waiting_login_) {
    if (now < turn_at_) {
      turn_wait_ = turn_at_ - now;
      return Next::kAwaitTurn;
    }
    return Login(*std::exchange(waiting_login_, std::nullopt), now);
  }
  while (auto packet = decoder_.Next()) {
    if (packet->type == kTypeAuth) {
      if (WaitForTurn(*packet, now)) return finished_ != Next::kRead ? finished_ : Next::kAwaitTurn;
      return Login(std::move(*packet), now);
    }
    if (!logged_in_) {
      return Finish(Next::kCloseNow,
                    packet->type == kTypeExecCommand
                        ? std::string("command before login")
                        : fmt::format("packet of type {} before login", packet->type));
    }
    if (packet->type == kTypeExecCommand || packet->type == kTypeResponseValue) {
      std::string refusal = output_.Queue(std::move(*packet));
      if (!refusal.empty()) return Finish(Next::kCloseNow, std::move(refusal));
      continue;
    }
    log_.warn("RCON ignored a packet of type {} from {}", packet->type, peer_);
  }
  switch (decoder_.error()) {
    case PacketDecoder::Error::kNone:
      return Next::kRead;
    case PacketDecoder::Error::kBadSize:
      return Finish(Next::kCloseNow,
                    fmt::format("packet size {} outside {}..{}{}", decoder_.bad_size(),
                                kMinPacketSize, decoder_.max_size(),
                                decoder_.bad_size() > decoder_.max_size()
                                    ? " (a longer command line needs --rcon-max-packet-size)"
                                    : ""));
    case PacketDecoder::Error::kBadTerminator:
      break;
  }
  return Finish(Next::kCloseNow, fmt::format("packet of size {} without its two terminating zeros",
                                             decoder_.bad_size()));
}

// A locked-out address is answered at once (its attempts are not checked, so they spend none of
// the server-wide pace). Any other attempt holds a turn of the pace while it is checked, as
// others may start theirs before its failure is known.
bool ConnectionProtocol::WaitForTurn(Packet& packet, Clock::time_point now) {
  if (guard_.IsLocked(address_, now)) return false;
  const auto wait = guard_.ReserveTurn(now);
  if (!wait) {
    Finish(Next::kCloseNow, fmt::format("more than {} failed logins a second on the server",
                                        guard_.limits().failures_per_second));
    return true;
  }
  turn_reserved_ = true;
  if (wait->count() == 0) return false;
  waiting_login_ = std::move(packet);
  turn_at_ = now + *wait;
  turn_wait_ = *wait;
  return true;
}

// A locked-out address gets a failure without its password being looked at, so that neither a
// right guess nor a success can lift the lockout; such attempts are not counted either, so the
// lockout ends when it was announced to end.
ConnectionProtocol::Next ConnectionProtocol::Login(Packet packet, Clock::time_point now) {
  if (RefusedAsLockedOut(packet.id, now)) return finished_;
  checking_ = std::move(packet);
  return Next::kAwaitCheck;
}

void ConnectionProtocol::Checked(std::shared_ptr<const accounts::Account> account,
                                 Clock::time_point now) {
  const Packet packet = *std::exchange(checking_, std::nullopt);
  awaiting_login_answer_ = true;
  // Another connection from the address may have started a lockout while this one was checked.
  if (RefusedAsLockedOut(packet.id, now)) return;
  account_ = std::move(account);
  const bool ok = account_ != nullptr;
  Answer(packet.id, ok);
  logged_in_ = ok;
  if (ok) {
    if (std::exchange(turn_reserved_, false)) guard_.ReturnTurn();
    guard_.RecordSuccess(address_);
    if (account_->name().empty())
      log_.info("RCON login from {}", peer_);
    else
      log_.info("RCON login from {} as {}", peer_, account_->name());
    return;
  }
  log_.warn("RCON refused login from {}: wrong password", peer_);
  if (!guard_.RecordFailure(address_, now, std::exchange(turn_reserved_, false))) return;
  started_lockout_ = true;
  const auto& limits = guard_.limits();
  log_.warn("RCON locked out {} for {} s after {} failed logins (until {})", address_,
            Seconds(limits.lockout), limits.max_failures, TimeOfDay(now + limits.lockout, now));
  Finish(Next::kCloseAfterSend, "address locked out");
}

bool ConnectionProtocol::RefusedAsLockedOut(int32_t id, Clock::time_point now) {
  const auto until = guard_.LockedUntil(address_, now);
  if (!until) return false;
  // Unchecked, the attempt spends none of the pace.
  if (std::exchange(turn_reserved_, false)) guard_.ReturnTurn();
  logged_in_ = false;
  account_.reset();
  log_.warn("RCON refused login from {}: address locked out until {}", peer_,
            TimeOfDay(*until, now));
  Answer(id, false);
  Finish(Next::kCloseAfterSend, "address locked out");
  return true;
}

// Every login is answered by an empty response value and then the auth response, whose id is
// the request's on success and -1 on failure.
void ConnectionProtocol::Answer(int32_t id, bool ok) {
  output_.Send(Encode(id, kTypeResponseValue, ""), false);
  output_.Send(Encode(ok ? id : -1, kTypeAuthResponse, ""), true);
}

ConnectionProtocol::Next ConnectionProtocol::Finish(Next how, std::string reason) {
  finished_ = how;
  close_reason_ = std::move(reason);
  return how;
}

}  // namespace server::rcon
