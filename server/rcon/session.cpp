#include "server/rcon/session.h"

#include <fmt/format.h>

#include "server/rcon/listener.h"
#include "server/rcon/log_text.h"

namespace server::rcon {

Session::Session(SessionHost& host, SessionId id, asio::ip::tcp::socket socket, std::string peer,
                 std::string address)
    : host_(host),
      id_(id),
      socket_(std::move(socket)),
      timer_(socket_.get_executor()),
      gap_timer_(socket_.get_executor()),
      turn_timer_(socket_.get_executor()),
      peer_(std::move(peer)),
      address_(std::move(address)),
      protocol_(*host.options().accounts, host.options().max_packet_size, host.guard(), address_,
                peer_, host.log(), *this) {}

bool Session::heard_from() const {
  std::error_code ignored;
  return protocol_.heard_from() || socket_.available(ignored) > 0;
}

void Session::Start() {
  ArmTimer();
  Read();
}

void Session::Read() {
  if (reading_ || closed_ || close_after_write_) return;
  reading_ = true;
  socket_.async_read_some(asio::buffer(read_buffer_),
                          [self = shared_from_this()](std::error_code error, std::size_t n) {
                            self->OnRead(error, n);
                          });
}

void Session::OnRead(std::error_code error, std::size_t n) {
  reading_ = false;
  if (closed_) return;
  if (error) {
    Close(protocol_.has_partial() ? "truncated packet" : "");
    return;
  }
  last_activity_ = Clock::now();
  protocol_.Feed({read_buffer_.data(), n});
  Continue();
}

void Session::Continue() {
  const auto next = protocol_.Process(host_.now());
  if (protocol_.logged_in() && !was_logged_in_) {
    was_logged_in_ = true;
    ArmTimer();  // from the login deadline to the idle limit
  }
  if (protocol_.started_lockout()) host_.CloseWaitingFrom(address_, id_);
  switch (next) {
    case ConnectionProtocol::Next::kRead:
      Read();
      return;
    case ConnectionProtocol::Next::kAwaitCheck:
      if (std::exchange(checking_, true)) return;
      host_.CheckPassword(
          protocol_.password_to_check(),
          [self = shared_from_this()](std::shared_ptr<const accounts::Account> found) {
            self->checking_ = false;
            if (self->closed_) return;
            self->protocol_.Checked(std::move(found), self->host_.now());
            self->Continue();
          });
      return;
    case ConnectionProtocol::Next::kAwaitLoginAnswer:
      return;  // Continue again once the answer is written
    case ConnectionProtocol::Next::kAwaitTurn:
      turn_timer_.expires_after(protocol_.turn_wait());
      turn_timer_.async_wait([self = shared_from_this()](std::error_code error) {
        if (!error && !self->closed_) self->Continue();
      });
      return;
    case ConnectionProtocol::Next::kCloseAfterSend:
      close_after_write_ = true;
      Write();
      return;
    case ConnectionProtocol::Next::kCloseNow:
      Close(protocol_.close_reason());
      return;
  }
}

void Session::Send(std::string bytes, bool login_answer) {
  outgoing_.push_back({std::move(bytes), login_answer, false});
  Write();
}

std::string Session::Queue(Packet request) {
  const auto result = host_.queue().Push(
      {id_, request.id, request.type, std::move(request.body), peer_, protocol_.account()});
  if (result == RequestQueue::PushResult::kFull)
    return fmt::format("more than {} requests waiting", host_.options().max_queued_requests);
  host_.Schedule();
  return {};
}

void Session::QueueReply(std::string bytes) {
  if (closed_) return;
  outgoing_.push_back({std::move(bytes), false, true});
  // A reply is activity. When it is written at once, the write's end records it (a moment
  // later); only behind a write in progress is the clock read here.
  if (writing_) last_activity_ = Clock::now();
}

void Session::Write() {
  if (writing_ || closed_) return;
  if (outgoing_.empty()) {
    if (close_after_write_) Close(protocol_.close_reason());
    return;
  }
  writing_ = true;
  auto self = shared_from_this();
  // The front entry and those behind it that need no pause before them.
  auto send = [self] {
    self->gathered_.clear();
    for (const Outgoing& entry : self->outgoing_) {
      if (self->gathered_.size() == kMaxGathered ||
          (entry.login_answer && !self->gathered_.empty()))
        break;
      self->gathered_.push_back(asio::buffer(entry.bytes));
    }
    asio::async_write(self->socket_, self->gathered_,
                      [self, entries = self->gathered_.size()](std::error_code error, std::size_t) {
                        self->OnWritten(error, entries);
                      });
  };
  const auto gap = host_.options().auth_reply_gap;
  if (!outgoing_.front().login_answer || gap.count() <= 0) {
    send();
    return;
  }
  gap_timer_.expires_after(gap);
  gap_timer_.async_wait([self, send](std::error_code error) {
    if (error || self->closed_) {
      self->writing_ = false;
      return;
    }
    send();
  });
}

void Session::OnWritten(std::error_code error, std::size_t entries) {
  writing_ = false;
  if (closed_) return;
  if (error) {
    Close("");
    return;
  }
  // Only the first entry of a write can end a login's answer.
  const bool login_answered = outgoing_.front().login_answer;
  std::size_t reply_bytes = 0;
  for (std::size_t i = 0; i < entries; ++i) {
    if (outgoing_.front().reply) reply_bytes += outgoing_.front().bytes.size();
    outgoing_.pop_front();
  }
  last_activity_ = Clock::now();
  if (reply_bytes > 0 && host_.queue().ReleaseUnread(id_, reply_bytes)) host_.Schedule();
  if (login_answered && !close_after_write_) {
    protocol_.LoginAnswered();
    Continue();
  }
  Write();
}

void Session::ArmTimer() {
  const auto& options = host_.options();
  if (!protocol_.logged_in()) {
    if (options.login_deadline.count() <= 0) return;
    timer_.expires_after(options.login_deadline);
    timer_.async_wait(
        [self = shared_from_this(), deadline = options.login_deadline](std::error_code error) {
          if (error || self->closed_ || self->protocol_.logged_in()) return;
          self->Close("no login within " + Seconds(deadline) + " s");
        });
    return;
  }
  const auto timeout = options.idle_timeout;
  if (timeout.count() <= 0) {
    timer_.cancel();
    return;
  }
  timer_.expires_at(last_activity_ + timeout);
  timer_.async_wait([self = shared_from_this(), timeout](std::error_code error) {
    if (error || self->closed_) return;
    // Requests waiting for or in the game's hands are not idleness.
    if (self->host_.queue().Busy(self->id_)) {
      self->last_activity_ = Clock::now();
    } else if (Clock::now() - self->last_activity_ >= timeout) {
      self->Close("idle for " + Seconds(timeout) + " s");
      return;
    }
    self->ArmTimer();
  });
}

void Session::Close(const std::string& reason) {
  if (closed_) return;
  closed_ = true;
  if (reason.empty())
    host_.log().info("RCON connection from {} closed", peer_);
  else
    host_.log().warn("RCON closed connection from {}: {}", peer_, reason);
  std::error_code ignored;
  timer_.cancel();
  gap_timer_.cancel();
  turn_timer_.cancel();
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  host_.Forget(id_);
}

}  // namespace server::rcon
