#include "server/rcon/listener.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <tuple>
#include <unordered_map>
#include <vector>

#include <fmt/format.h>
#include <asio.hpp>

#include "server/rcon/session.h"

namespace server::rcon {
namespace {

using asio::ip::tcp;
using Clock = std::chrono::steady_clock;

// The listener whose turn of requests this thread is running, if any: its replies wait for the
// turn's end.
thread_local const Listener* turn_of_this_thread = nullptr;

class ListenerImpl final : public Listener, private SessionHost {
 public:
  ListenerImpl(ListenerOptions options, RequestSink& sink)
      : options_(std::move(options)),
        sink_(sink),
        acceptor_(io_),
        guard_(options_.login_guard ? options_.login_guard
                                    : std::make_shared<LoginGuard>(options_.login_limits)),
        queue_({options_.max_queued_requests, options_.max_unread_bytes,
                std::min<std::size_t>(options_.max_unread_bytes / 4, 256u << 10)}),
        work_(asio::make_work_guard(io_)) {
    if (!options_.log) options_.log = std::make_shared<spdlog::logger>("rcon");
    if (!options_.clock) options_.clock = [] { return Clock::now(); };
    if (!options_.accounts)
      options_.accounts = std::make_shared<accounts::AccountStore>(
          accounts::Accounts::SinglePassword(options_.password));
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
    thread_ = std::thread([this] { io_.run(); });
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
    thread_.join();
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
    // A reply of the game's turn leaves with the turn's others, once their log lines are
    // written (see Drain).
    if (turn_of_this_thread == this) {
      turn_replies_.push_back({session, id, type, std::move(body)});
      return;
    }
    asio::post(io_, [this, session, id, type, body = std::move(body)] {
      if (auto it = sessions_.find(session); it != sessions_.end()) {
        it->second->QueueReply(EncodeReply(id, type, body));
        it->second->Write();
      }
    });
  }

  std::size_t ReplyRoom(SessionId session) const override { return queue_.Room(session); }

  // SessionHost, on the network thread.
  const ListenerOptions& options() const override { return options_; }
  spdlog::logger& log() override { return *options_.log; }
  LoginGuard& guard() override { return *guard_; }
  RequestQueue& queue() override { return queue_; }
  Clock::time_point now() const override { return options_.clock(); }
  void CheckPassword(std::string password,
                     std::function<void(std::shared_ptr<const accounts::Account>)> done) override {
    asio::post(checks_, [this, accounts = options_.accounts->Current(),
                         password = std::move(password), done = std::move(done)]() mutable {
      auto account = accounts->Authenticate(password);
      asio::post(io_, [done = std::move(done), account = std::move(account)] { done(account); });
    });
  }
  // Wakes the game thread to run requests, unless it is already due to.
  void Schedule() override {
    if (!drain_posted_.exchange(true)) sink_.Post([this] { Drain(); });
  }
  void CloseWaitingFrom(const std::string& address, SessionId except) override {
    for (auto& session : SessionsWhere([&](const Session& s) {
           return s.address() == address && s.id() != except && !s.logged_in();
         }))
      session->Close("address locked out");
  }
  void Forget(SessionId id) override {
    sessions_.erase(id);
    queue_.Close(id);
    sink_.OnSessionClosed(id);
  }

 private:
  struct TurnReply {
    SessionId session;
    int32_t id;
    int32_t type;
    std::string body;
  };
  // Game thread. Requests in turns until none is ready or the turn is over; then the game
  // loop's other work gets its turn before the next. The turn's replies wait until the sink has
  // written the turn's log lines, and then leave together: a client that has its reply finds
  // every line of its request in the log, and pipelined requests are answered in one write.
  void Drain() {
    drain_posted_ = false;  // before Take: a request pushed from now on posts a new Drain
    const auto turn_end = Clock::now() + kTurn;
    bool more = true;
    bool started = false;
    do {
      auto request = queue_.Take();
      if (!request) {
        more = false;
        break;
      }
      if (!std::exchange(started, true)) {
        sink_.OnTurn(true);
        turn_of_this_thread = this;
      }
      if (request->type == kTypeResponseValue)
        Reply(request->session, request->id, kTypeResponseValue, "");
      else
        sink_.Handle(*request);
      queue_.Finished(request->session);
    } while (Clock::now() < turn_end);
    if (started) {
      turn_of_this_thread = nullptr;
      sink_.OnTurn(false);
      HandOver(std::exchange(turn_replies_, {}));
    }
    if (more && queue_.Ready() && !drain_posted_.exchange(true)) sink_.Post([this] { Drain(); });
  }

  // Game thread: a turn's replies to the network thread, each connection's in one write.
  void HandOver(std::vector<TurnReply> replies) {
    if (replies.empty()) return;
    asio::post(io_, [this, replies = std::move(replies)] {
      std::vector<std::shared_ptr<Session>> touched;
      for (const TurnReply& reply : replies) {
        auto it = sessions_.find(reply.session);
        if (it == sessions_.end()) continue;
        it->second->QueueReply(EncodeReply(reply.id, reply.type, reply.body));
        if (touched.empty() || touched.back() != it->second) touched.push_back(it->second);
      }
      for (const auto& session : touched) session->Write();
    });
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
    const int reserved = options_.reserved_slots.value_or(options_.max_connections / 4);
    const int open_to_waiting = std::max(1, options_.max_connections - reserved);
    if (static_cast<int>(waiting.size()) < open_to_waiting &&
        static_cast<int>(sessions_.size()) < options_.max_connections)
      return true;
    if (waiting.empty()) {
      log().warn("RCON refused connection from {}: connection limit ({}) reached", peer,
                 options_.max_connections);
      return false;
    }
    EvictionVictim(waiting).Close("not logged in; its slot was needed");
    return true;
  }

  // Of the connections that have not logged in: one that has sent nothing before one that has
  // (a client that sends its login at once is never taken while a silent one holds a slot);
  // then from the address holding most of them, then from the address that opened most
  // connections lately (a flood displaces itself before anyone else, even when its sockets are
  // spread over many addresses and a newcomer's login is a moment late); then the oldest.
  Session& EvictionVictim(const std::vector<std::shared_ptr<Session>>& waiting) {
    std::unordered_map<std::string, int> per_address;
    for (const auto& s : waiting) ++per_address[s->address()];
    using Rank = std::tuple<bool, int, int>;
    Session* victim = nullptr;
    Rank best{};
    for (const auto& s : waiting) {  // oldest first: a tie keeps the older
      const Rank rank{!s->heard_from(), per_address[s->address()], opened_.Lately(s->address())};
      if (victim == nullptr || best < rank) {
        victim = s.get();
        best = rank;
      }
    }
    return *victim;
  }

  void Admit(tcp::socket socket) {
    std::error_code error;
    const tcp::endpoint remote = socket.remote_endpoint(error);
    if (error) return;  // already gone
    const std::string address = remote.address().to_string();
    const std::string peer = address + ":" + std::to_string(remote.port());
    opened_.Count(address, Clock::now());
    if (!MakeRoom(address, peer)) {
      socket.close(error);
      return;
    }
    socket.set_option(tcp::no_delay(true), error);
    const SessionId id = next_id_++;
    auto session = std::make_shared<Session>(static_cast<SessionHost&>(*this), id,
                                             std::move(socket), peer, address);
    sessions_.emplace(id, session);
    queue_.Open(id);
    log().info("RCON connection from {}", peer);
    session->Start();
  }

  // How many connections each address opened lately: in this window and the one before.
  class OpenedLately {
   public:
    void Count(const std::string& address, Clock::time_point now) {
      if (now >= window_end_) {
        previous_ = std::exchange(current_, {});
        window_end_ = now + kWindow;
      }
      ++current_[address];
    }
    int Lately(const std::string& address) const {
      return Of(current_, address) + Of(previous_, address);
    }

   private:
    static constexpr std::chrono::seconds kWindow{10};
    static int Of(const std::unordered_map<std::string, int>& counts, const std::string& address) {
      auto it = counts.find(address);
      return it == counts.end() ? 0 : it->second;
    }
    std::unordered_map<std::string, int> current_, previous_;
    Clock::time_point window_end_{};
  };

  // How long the game thread runs requests before the rest of its work has a turn.
  static constexpr std::chrono::microseconds kTurn{2000};

  ListenerOptions options_;
  RequestSink& sink_;
  asio::io_context io_;
  std::vector<TurnReply> turn_replies_;  // game thread, during a turn
  tcp::acceptor acceptor_;
  asio::steady_timer accept_retry_{io_};
  std::shared_ptr<LoginGuard> guard_;
  RequestQueue queue_;
  std::atomic<bool> drain_posted_{false};
  asio::executor_work_guard<asio::io_context::executor_type> work_;
  std::unordered_map<SessionId, std::shared_ptr<Session>> sessions_;
  SessionId next_id_ = 1;
  OpenedLately opened_;
  uint16_t port_ = 0;
  std::thread thread_;
  // Checks passwords, one at a time; stopped and joined before the network's context goes.
  asio::thread_pool checks_{1};
};

}  // namespace

std::unique_ptr<Listener> Listener::Start(ListenerOptions options, RequestSink& sink) {
  return std::make_unique<ListenerImpl>(std::move(options), sink);
}

}  // namespace server::rcon
