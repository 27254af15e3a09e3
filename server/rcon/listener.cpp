#include "server/rcon/listener.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <thread>
#include <unordered_map>
#include <vector>

#include <fmt/format.h>
#include <asio.hpp>

#include "server/rcon/connection_protocol.h"
#include "server/rcon/log_text.h"

namespace server::rcon {
namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

class ListenerImpl;

// One client connection: the socket's side of a ConnectionProtocol. Lives on the listener's
// thread only; callbacks keep it alive.
class Session : public std::enable_shared_from_this<Session>, private ProtocolOutput {
 public:
  Session(ListenerImpl& owner, SessionId id, tcp::socket socket, std::string peer,
          std::string address);

  void Start();
  // Reply bytes, already counted as unread. Written at once, or with the others of the game's
  // turn when the listener gathers them.
  void QueueReply(std::string bytes);
  // Writes what waits, unless a write is in progress (whose end writes it).
  void Write();
  // Closes now; `reason` (empty: a normal end) is logged with the peer.
  void Close(const std::string& reason);

  SessionId id() const { return id_; }
  const std::string& address() const { return address_; }
  bool logged_in() const { return protocol_.logged_in(); }

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

  ListenerImpl& owner_;
  SessionId id_;
  tcp::socket socket_;
  asio::steady_timer timer_;
  asio::steady_timer gap_timer_;
  std::string peer_;     // address:port, for the log
  std::string address_;  // for the login guard and the slots
  ConnectionProtocol protocol_;
  std::array<char, 4096> read_buffer_;
  bool was_logged_in_ = false;
  bool reading_ = false;
  bool writing_ = false;
  bool closed_ = false;
  bool close_after_write_ = false;
  bool write_due_ = false;  // listed for the end of the game's turn
  std::deque<Outgoing> outgoing_;
  std::vector<asio::const_buffer> gathered_;  // what the write in progress takes
  Clock::time_point last_activity_ = Clock::now();
};

class ListenerImpl final : public Listener {
 public:
  // With `shared`, on that event loop (its owner runs it); else on a thread of its own.
  ListenerImpl(ListenerOptions options, RequestSink& sink, asio::io_context* shared)
      : options_(std::move(options)),
        sink_(sink),
        io_(shared != nullptr ? *shared : own_io_),
        shared_(shared != nullptr),
        acceptor_(io_),
        guard_(options_.login_limits),
        queue_({options_.max_queued_requests, options_.max_unread_bytes,
                std::min<std::size_t>(options_.max_unread_bytes / 4, 256u << 10)}),
        work_(asio::make_work_guard(io_)) {
    if (!options_.log) options_.log = std::make_shared<spdlog::logger>("rcon");
    if (!options_.clock) options_.clock = [] { return Clock::now(); };
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
    // A shared loop has stopped running: run it here until the connections are closed.
    io_.restart();
    io_.run();
  }

  uint16_t port() const override { return port_; }

  void Reply(SessionId session, int32_t id, int32_t type, std::string body) override {
    const std::size_t size = EncodedReplySize(body.size());
    switch (queue_.AddUnread(session, size)) {
      case RequestQueue::ReplyResult::kUnknown:
        return;
      case RequestQueue::ReplyResult::kOverLimit:
        asio::dispatch(io_, [this, session, size] {
          if (auto it = sessions_.find(session); it != sessions_.end())
            it->second->Close(
                fmt::format("a reply of {} bytes would take the replies not yet read past {} bytes",
                            size, options_.max_unread_bytes));
        });
        return;
      case RequestQueue::ReplyResult::kAccepted:
        break;
    }
    // Encoded on the listener's thread. On a shared loop that is the caller's, so the reply is
    // on its way before the handler that sent it returns.
    asio::dispatch(io_, [this, session, id, type, body = std::move(body)] {
      if (auto it = sessions_.find(session); it != sessions_.end())
        it->second->QueueReply(EncodeReply(id, type, body));
    });
  }

  std::size_t ReplyRoom(SessionId session) const override { return queue_.Room(session); }

  const ListenerOptions& options() const { return options_; }
  spdlog::logger& log() { return *options_.log; }
  LoginGuard& guard() { return guard_; }
  RequestQueue& queue() { return queue_; }
  Clock::time_point now() const { return options_.clock(); }

  // Listener's thread. Wakes the game thread to run requests, unless it is already due to.
  void Schedule() {
    if (!drain_posted_.exchange(true)) sink_.Post([this] { Drain(); });
  }

  // Listener's thread. Every other connection from `address` that has not logged in stops.
  void CloseWaitingFrom(const std::string& address, SessionId except) {
    for (auto& session : SessionsWhere([&](const Session& s) {
           return s.address() == address && s.id() != except && !s.logged_in();
         }))
      session->Close("address locked out");
  }

  // Listener's thread. While the game thread runs a turn of requests on a shared loop and more
  // are waiting, replies are gathered and each connection's leave in one write at the end.
  bool gathering() const { return gathering_; }
  void WriteAtTurnEnd(std::shared_ptr<Session> session) {
    write_due_.push_back(std::move(session));
  }

  void Forget(SessionId id) {
    sessions_.erase(id);
    queue_.Close(id);
    sink_.OnSessionClosed(id);
  }

 private:
  // Game thread. Requests in turns until none is ready or the turn is over; then the game
  // loop's other work (and on a shared loop the network) gets its turn before the next. A turn
  // of several requests lets the replies to one client's pipelined requests leave in one write.
  void Drain() {
    drain_posted_ = false;  // before Take: a request pushed from now on posts a new Drain
    const auto turn_end = Clock::now() + kTurn;
    bool more = true;
    do {
      auto request = queue_.Take();
      if (!request) {
        more = false;
        break;
      }
      // A lone request's reply leaves at once; with others waiting it waits for theirs.
      const bool alone = !gathering_ && !queue_.Ready();
      if (!alone && !gathering_ && shared_) {
        gathering_ = true;
        sink_.Gather(true);
      }
      if (request->type == kTypeResponseValue)
        Reply(request->session, request->id, kTypeResponseValue, "");
      else
        sink_.Handle(*request);
      queue_.Finished(request->session);
      // Nothing came in while it ran (on a shared loop nothing can; on a thread of its own a
      // newcomer has posted the next turn): the turn is over without reading the clock.
      if (alone) {
        more = false;
        break;
      }
    } while (Clock::now() < turn_end);
    for (auto& session : std::exchange(write_due_, {})) session->Write();
    if (std::exchange(gathering_, false)) sink_.Gather(false);
    if (more && queue_.Ready() && !drain_posted_.exchange(true)) sink_.Post([this] { Drain(); });
  }

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

  template <typename Predicate>
  std::vector<std::shared_ptr<Session>> SessionsWhere(Predicate predicate) const {
    std::vector<std::shared_ptr<Session>> found;
    for (const auto& [id, session] : sessions_)
      if (predicate(*session)) found.push_back(session);
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
      return a->id() < b->id();  // oldest first
    });
    return found;
  }

  // Makes room for a newcomer from `address`; false when there is none to make.
  bool MakeRoom(const std::string& address, const std::string& peer) {
    const auto same_address =
        SessionsWhere([&](const Session& s) { return s.address() == address; });
    if (static_cast<int>(same_address.size()) >= options_.max_per_address) {
      auto waiting = std::find_if(same_address.begin(), same_address.end(),
                                  [](const auto& s) { return !s->logged_in(); });
      if (waiting == same_address.end()) {
        log().warn(
            "RCON refused connection from {}: limit of {} connections from one address "
            "reached",
            peer, options_.max_per_address);
        return false;
      }
      (*waiting)->Close("not logged in; a newer connection from its address took its slot");
    }
    const auto waiting = SessionsWhere([](const Session& s) { return !s.logged_in(); });
    const int open_to_waiting = std::max(1, options_.max_connections - options_.reserved_slots);
    if (static_cast<int>(waiting.size()) < open_to_waiting &&
        static_cast<int>(sessions_.size()) < options_.max_connections)
      return true;
    if (waiting.empty()) {
      log().warn("RCON refused connection from {}: connection limit ({}) reached", peer,
                 options_.max_connections);
      return false;
    }
    // The oldest of the address that holds most of the waiting connections: a flood from a
    // few addresses displaces itself before anyone else.
    std::unordered_map<std::string, int> per_address;
    for (const auto& s : waiting) ++per_address[s->address()];
    const auto victim =
        std::max_element(waiting.begin(), waiting.end(), [&](const auto& a, const auto& b) {
          return per_address[a->address()] < per_address[b->address()];
        });
    (*victim)->Close("not logged in; its slot was needed");
    return true;
  }

  void Admit(tcp::socket socket) {
    std::error_code error;
    const tcp::endpoint remote = socket.remote_endpoint(error);
    if (error) return;  // already gone
    const std::string address = remote.address().to_string();
    const std::string peer = address + ":" + std::to_string(remote.port());
    if (!MakeRoom(address, peer)) {
      socket.close(error);
      return;
    }
    socket.set_option(tcp::no_delay(true), error);
    const SessionId id = next_id_++;
    auto session = std::make_shared<Session>(*this, id, std::move(socket), peer, address);
    sessions_.emplace(id, session);
    queue_.Open(id);
    log().info("RCON connection from {}", peer);
    session->Start();
  }

  // How long the game thread runs requests before the rest of its work has a turn.
  static constexpr std::chrono::microseconds kTurn{2000};

  ListenerOptions options_;
  RequestSink& sink_;
  asio::io_context own_io_;
  asio::io_context& io_;
  const bool shared_;
  bool gathering_ = false;
  std::vector<std::shared_ptr<Session>> write_due_;
  tcp::acceptor acceptor_;
  asio::steady_timer accept_retry_{io_};
  LoginGuard guard_;
  RequestQueue queue_;
  std::atomic<bool> drain_posted_{false};
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  std::unordered_map<SessionId, std::shared_ptr<Session>> sessions_;
  SessionId next_id_ = 1;
  uint16_t port_ = 0;
  std::thread thread_;
};

Session::Session(ListenerImpl& owner, SessionId id, tcp::socket socket, std::string peer,
                 std::string address)
    : owner_(owner),
      id_(id),
      socket_(std::move(socket)),
      timer_(socket_.get_executor()),
      gap_timer_(socket_.get_executor()),
      peer_(std::move(peer)),
      address_(std::move(address)),
      protocol_(owner.options().password, owner.options().max_packet_size, owner.guard(), address_,
                peer_, owner.log(), *this) {}

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
  const auto next = protocol_.Process(owner_.now());
  if (protocol_.logged_in() && !was_logged_in_) {
    was_logged_in_ = true;
    ArmTimer();  // from the login deadline to the idle limit
  }
  if (protocol_.started_lockout()) owner_.CloseWaitingFrom(address_, id_);
  switch (next) {
    case ConnectionProtocol::Next::kRead:
      Read();
      return;
    case ConnectionProtocol::Next::kAwaitLoginAnswer:
      return;  // Continue again once the answer is written
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
  const auto result =
      owner_.queue().Push({id_, request.id, request.type, std::move(request.body), peer_});
  if (result == RequestQueue::PushResult::kFull)
    return fmt::format("more than {} requests waiting", owner_.options().max_queued_requests);
  owner_.Schedule();
  return {};
}

void Session::QueueReply(std::string bytes) {
  if (closed_) return;
  outgoing_.push_back({std::move(bytes), false, true});
  // A reply is activity. When it is written now or at the turn's end, the write's end records
  // it (a moment later); only behind a write in progress is the clock read here.
  if (writing_) last_activity_ = Clock::now();
  if (!owner_.gathering()) {
    Write();
  } else if (!write_due_) {
    write_due_ = true;
    owner_.WriteAtTurnEnd(shared_from_this());
  }
}

void Session::Write() {
  write_due_ = false;
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
  const auto gap = owner_.options().auth_reply_gap;
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
  if (reply_bytes > 0 && owner_.queue().ReleaseUnread(id_, reply_bytes)) owner_.Schedule();
  if (login_answered && !close_after_write_) {
    protocol_.LoginAnswered();
    Continue();
  }
  Write();
}

void Session::ArmTimer() {
  const auto& options = owner_.options();
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
    if (self->owner_.queue().Busy(self->id_)) {
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
    owner_.log().info("RCON connection from {} closed", peer_);
  else
    owner_.log().warn("RCON closed connection from {}: {}", peer_, reason);
  std::error_code ignored;
  timer_.cancel();
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

}  // namespace server::rcon
