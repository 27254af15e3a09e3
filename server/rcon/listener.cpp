#include "server/rcon/listener.h"

#include <array>
#include <deque>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fmt/format.h>
#include <asio.hpp>

#include "server/rcon/packet.h"

namespace server::rcon {
namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// "300", "0.4": durations in the log read as seconds.
std::string Seconds(Clock::duration d) {
  return fmt::format("{:g}", std::chrono::duration<double>(d).count());
}

class ListenerImpl;

// One client connection. Lives on the network thread only; callbacks keep it alive.
class Session : public std::enable_shared_from_this<Session> {
 public:
  Session(ListenerImpl& owner, SessionId id, tcp::socket socket, std::string peer,
          std::string address)
      : owner_(owner),
        id_(id),
        socket_(std::move(socket)),
        idle_timer_(socket_.get_executor()),
        gap_timer_(socket_.get_executor()),
        peer_(std::move(peer)),
        address_(std::move(address)) {}

  void Start();
  void QueueReply(int32_t id, int32_t type, std::string_view body);
  void RequestDone();
  // Closes now; `reason` (empty: a normal end) is logged with the peer.
  void Close(const std::string& reason);

  const std::string& peer() const { return peer_; }

 private:
  static constexpr std::size_t kMaxGathered = 64;  // entries written by one system call
  struct Outgoing {
    std::string bytes;
    bool gap_before = false;  // wait auth_reply_gap before writing these bytes
  };

  void Read();
  void OnRead(std::error_code error, std::size_t n);
  // False when the connection was closed.
  bool Handle(Packet packet);
  void Authenticate(const Packet& packet);
  void Queue(std::string bytes, bool gap_before = false);
  void Write();
  void ArmIdleTimer();

  ListenerImpl& owner_;
  SessionId id_;
  tcp::socket socket_;
  asio::steady_timer idle_timer_;
  asio::steady_timer gap_timer_;
  std::string peer_;     // address:port, for the log
  std::string address_;  // for the login guard
  std::array<char, 4096> read_buffer_;
  PacketDecoder decoder_;
  bool authenticated_ = false;
  bool reading_ = false;
  bool writing_ = false;
  bool closed_ = false;
  bool close_after_write_ = false;
  int outstanding_ = 0;
  std::deque<Outgoing> outgoing_;
  std::size_t pending_bytes_ = 0;
  Clock::time_point last_activity_ = Clock::now();
};

class ListenerImpl final : public Listener {
 public:
  // With `shared`, the listener runs on that event loop (its owner runs it); else on a thread
  // of its own.
  ListenerImpl(ListenerOptions options, RequestSink& sink, asio::io_context* shared)
      : options_(std::move(options)),
        sink_(sink),
        io_(shared != nullptr ? *shared : own_io_),
        acceptor_(io_),
        guard_(options_.login_limits),
        work_(asio::make_work_guard(io_)) {
    if (!options_.log) options_.log = std::make_shared<spdlog::logger>("rcon");
    const tcp::endpoint endpoint(asio::ip::make_address(options_.bind_address), options_.port);
    try {
      acceptor_.open(endpoint.protocol());
      acceptor_.set_option(tcp::acceptor::reuse_address(true));
      acceptor_.bind(endpoint);
      acceptor_.listen();
    } catch (const std::system_error& e) {
      throw std::system_error(e.code(), "cannot listen on " + options_.bind_address + ":" +
                                            std::to_string(options_.port));
    }
    port_ = acceptor_.local_endpoint().port();
    Accept();
    if (shared == nullptr) thread_ = std::thread([this] { io_.run(); });
  }

  ~ListenerImpl() override {
    asio::post(io_, [this] {
      std::error_code ignored;
      acceptor_.close(ignored);
      accept_retry_.cancel();
      auto sessions = sessions_;
      for (auto& [id, session] : sessions) session->Close("server stopping");
      work_.reset();
    });
    if (thread_.joinable()) {
      thread_.join();
      return;
    }
    // On a shared loop, which has stopped: run it until the connections are closed.
    io_.restart();
    io_.run();
  }

  uint16_t port() const override { return port_; }

  // Dispatched: on the loop's own thread (a shared loop's owner) they run at once, so a reply
  // is on its way before the handler that sent it returns.
  void Reply(SessionId session, int32_t id, int32_t type, std::string body) override {
    asio::dispatch(io_, [this, session, id, type, body = std::move(body)] {
      if (auto it = sessions_.find(session); it != sessions_.end())
        it->second->QueueReply(id, type, body);
    });
  }

  void Done(SessionId session) override {
    asio::dispatch(io_, [this, session] {
      if (auto it = sessions_.find(session); it != sessions_.end()) it->second->RequestDone();
    });
  }

  const ListenerOptions& options() const { return options_; }
  spdlog::logger& log() { return *options_.log; }
  RequestSink& sink() { return sink_; }
  LoginGuard& guard() { return guard_; }

  void Forget(SessionId id) {
    sessions_.erase(id);
    sink_.OnSessionClosed(id);
  }

 private:
  void Accept() {
    acceptor_.async_accept([this](std::error_code error, tcp::socket socket) {
      if (error == asio::error::operation_aborted || !acceptor_.is_open()) return;
      if (!error) {
        Admit(std::move(socket));
        Accept();
        return;
      }
      // Out of descriptors, say: try again a little later rather than spin.
      log().error("RCON accept failed: {}", error.message());
      accept_retry_.expires_after(std::chrono::milliseconds(100));
      accept_retry_.async_wait([this](std::error_code e) {
        if (!e && acceptor_.is_open()) Accept();
      });
    });
  }

  void Admit(tcp::socket socket) {
    std::error_code error;
    const tcp::endpoint remote = socket.remote_endpoint(error);
    if (error) return;  // already gone
    const std::string address = remote.address().to_string();
    const std::string peer = address + ":" + std::to_string(remote.port());
    if (guard_.IsLocked(address, Clock::now())) {
      log().warn("RCON refused connection from {}: locked out after failed logins", peer);
      socket.close(error);
      return;
    }
    if (static_cast<int>(sessions_.size()) >= options_.max_connections) {
      log().warn("RCON refused connection from {}: connection limit ({}) reached", peer,
                 options_.max_connections);
      socket.close(error);
      return;
    }
    socket.set_option(tcp::no_delay(true), error);
    const SessionId id = next_id_++;
    auto session = std::make_shared<Session>(*this, id, std::move(socket), peer, address);
    sessions_.emplace(id, session);
    log().info("RCON connection from {}", peer);
    session->Start();
  }

  ListenerOptions options_;
  RequestSink& sink_;
  asio::io_context own_io_;
  asio::io_context& io_;
  tcp::acceptor acceptor_;
  asio::steady_timer accept_retry_{io_};
  LoginGuard guard_;
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  std::unordered_map<SessionId, std::shared_ptr<Session>> sessions_;
  SessionId next_id_ = 1;
  uint16_t port_ = 0;
  std::thread thread_;
};

void Session::Start() {
  ArmIdleTimer();
  Read();
}

void Session::Read() {
  if (reading_ || closed_ || close_after_write_) return;
  if (outstanding_ >= owner_.options().max_pending_requests) return;  // resumed by RequestDone
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
    if (decoder_.has_partial())
      Close("truncated packet");
    else
      Close("");
    return;
  }
  decoder_.Feed({read_buffer_.data(), n});
  while (auto packet = decoder_.Next()) {
    last_activity_ = Clock::now();
    if (!Handle(std::move(*packet))) return;
  }
  switch (decoder_.error()) {
    case PacketDecoder::Error::kNone:
      break;
    case PacketDecoder::Error::kBadSize:
      Close("packet size " + std::to_string(decoder_.bad_size()) + " outside " +
            std::to_string(kMinPacketSize) + ".." + std::to_string(kMaxPacketSize));
      return;
    case PacketDecoder::Error::kBadTerminator:
      Close("packet of size " + std::to_string(decoder_.bad_size()) +
            " without its two terminating zeros");
      return;
  }
  Read();
}

bool Session::Handle(Packet packet) {
  if (packet.type == kTypeAuth) {
    Authenticate(packet);
    return !closed_;
  }
  if (!authenticated_) {
    Close("command before login");
    return false;
  }
  if (close_after_write_) return true;  // locked out: nothing more is taken
  ++outstanding_;
  owner_.sink().OnRequest({id_, packet.id, packet.type, std::move(packet.body)});
  return true;
}

void Session::Authenticate(const Packet& packet) {
  const bool ok = ConstantTimeEquals(packet.body, owner_.options().password);
  // Every login is answered by an empty response value and then the auth response, whose id
  // is the request's on success and -1 on failure.
  Queue(Encode(packet.id, kTypeResponseValue, ""));
  Queue(Encode(ok ? packet.id : -1, kTypeAuthResponse, ""), /*gap_before=*/true);
  if (ok) {
    authenticated_ = true;
    owner_.guard().RecordSuccess(address_);
    owner_.log().info("RCON login from {}", peer_);
    return;
  }
  authenticated_ = false;
  owner_.log().warn("RCON refused login from {}: wrong password", peer_);
  if (owner_.guard().RecordFailure(address_, Clock::now())) {
    const auto& limits = owner_.options().login_limits;
    owner_.log().warn("RCON locked out {} for {} s after {} failed logins", address_,
                      Seconds(limits.lockout), limits.max_failures);
    close_after_write_ = true;
  }
}

void Session::QueueReply(int32_t id, int32_t type, std::string_view body) {
  if (closed_) return;
  // Checked before queuing, so that one long reply always goes out to a client that reads.
  if (pending_bytes_ > owner_.options().max_pending_output) {
    Close(std::to_string(pending_bytes_) + " bytes of replies not read");
    return;
  }
  last_activity_ = Clock::now();
  Queue(EncodeReply(id, type, body));
}

void Session::RequestDone() {
  if (closed_) return;
  last_activity_ = Clock::now();
  if (outstanding_ > 0) --outstanding_;
  Read();
}

void Session::Queue(std::string bytes, bool gap_before) {
  pending_bytes_ += bytes.size();
  outgoing_.push_back({std::move(bytes), gap_before});
  Write();
}

void Session::Write() {
  if (writing_ || closed_) return;
  if (outgoing_.empty()) {
    if (close_after_write_) Close("");
    return;
  }
  writing_ = true;
  auto self = shared_from_this();
  // One write takes the front entry and the entries queued behind it that need no gap, so
  // that the replies to a burst of pipelined requests leave in one system call.
  auto send = [self] {
    std::vector<asio::const_buffer> buffers;
    for (std::size_t i = 0; i < self->outgoing_.size() && buffers.size() < kMaxGathered; ++i) {
      if (i > 0 && self->outgoing_[i].gap_before) break;
      buffers.push_back(asio::buffer(self->outgoing_[i].bytes));
    }
    asio::async_write(self->socket_, buffers,
                      [self, count = buffers.size()](std::error_code error, std::size_t) {
                        self->writing_ = false;
                        if (self->closed_) return;
                        if (error) {
                          self->Close("");
                          return;
                        }
                        for (std::size_t i = 0; i < count; ++i) {
                          self->pending_bytes_ -= self->outgoing_.front().bytes.size();
                          self->outgoing_.pop_front();
                        }
                        self->Write();
                      });
  };
  if (!outgoing_.front().gap_before || owner_.options().auth_reply_gap.count() <= 0) {
    send();
    return;
  }
  gap_timer_.expires_after(owner_.options().auth_reply_gap);
  gap_timer_.async_wait([self, send](std::error_code error) {
    if (error || self->closed_) {
      self->writing_ = false;
      return;
    }
    send();
  });
}

void Session::ArmIdleTimer() {
  const auto timeout = owner_.options().idle_timeout;
  if (timeout.count() <= 0) return;  // no idle limit
  idle_timer_.expires_at(last_activity_ + timeout);
  idle_timer_.async_wait([self = shared_from_this(), timeout](std::error_code error) {
    if (error || self->closed_) return;
    // Requests in the game's hands are not idleness.
    if (self->outstanding_ == 0 && Clock::now() - self->last_activity_ >= timeout) {
      self->Close("idle for " + Seconds(timeout) + " s");
      return;
    }
    if (self->outstanding_ > 0) self->last_activity_ = Clock::now();
    self->ArmIdleTimer();
  });
}

void Session::Close(const std::string& reason) {
  if (closed_) return;
  closed_ = true;
  if (reason.empty())
    owner_.log().info("RCON connection from {} closed", peer_);
  else
    owner_.log().warn("RCON closed connection from {}: {}", peer_, reason);
  std::error_code ignored;
  idle_timer_.cancel();
  gap_timer_.cancel();
  socket_.shutdown(tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  owner_.Forget(id_);
}

}  // namespace

std::unique_ptr<Listener> Listener::Start(ListenerOptions options, RequestSink& sink) {
  return std::make_unique<ListenerImpl>(std::move(options), sink, nullptr);
}

std::unique_ptr<Listener> Listener::Start(ListenerOptions options, RequestSink& sink,
                                          asio::io_context& loop) {
  return std::make_unique<ListenerImpl>(std::move(options), sink, &loop);
}

bool ConstantTimeEquals(std::string_view candidate, std::string_view secret) {
  unsigned diff = candidate.size() != secret.size() ? 1u : 0u;
  if (secret.empty()) return false;
  for (std::size_t i = 0; i < candidate.size(); ++i)
    diff |= static_cast<unsigned char>(candidate[i]) ^
            static_cast<unsigned char>(secret[i % secret.size()]);
  return diff == 0;
}

}  // namespace server::rcon
