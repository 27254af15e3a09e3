#include "server/rcon/listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "server/game_loop.h"
#include "tests/support/capture_sink.h"

namespace server::rcon {
namespace {

using namespace std::chrono_literals;

// A blocking loopback client with a receive timeout, so a test fails instead of hanging. It
// connects from `source` (any 127.x.y.z), so that tests can play several addresses.
class RawClient {
 public:
  explicit RawClient(uint16_t port, const char* source = "127.0.0.1", int receive_buffer = 0) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    if (receive_buffer > 0)
      setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receive_buffer, sizeof receive_buffer);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    inet_pton(AF_INET, source, &local.sin_addr);
    bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() {
    if (fd_ >= 0) close(fd_);
  }

  bool connected() const { return connected_; }
  void SendBytes(std::string_view bytes) {
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  void Send(int32_t id, int32_t type, std::string_view body) { SendBytes(Encode(id, type, body)); }

  // The next packet, or nullopt when the server closed the connection (or 5 s passed).
  std::optional<Packet> Read() {
    for (;;) {
      if (auto packet = decoder_.Next()) return packet;
      char bytes[65536];
      const ssize_t n = recv(fd_, bytes, sizeof bytes, 0);
      if (n <= 0) return std::nullopt;
      decoder_.Feed(std::string_view(bytes, static_cast<std::size_t>(n)));
    }
  }
  // A login's answer: the auth response's id (-1: refused), or nullopt when it did not come.
  std::optional<int32_t> LoginAnswer(std::string_view password, int32_t id = 1) {
    Send(id, kTypeAuth, password);
    auto empty = Read();
    auto auth = Read();
    if (!empty || !auth || empty->type != kTypeResponseValue || empty->id != id ||
        auth->type != kTypeAuthResponse)
      return std::nullopt;
    return auth->id;
  }
  bool Login(std::string_view password, int32_t id = 1) { return LoginAnswer(password, id) == id; }
  // True when the server has closed the connection (end of stream or reset).
  bool Closed() {
    char byte;
    const ssize_t n = recv(fd_, &byte, 1, 0);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
  }
  // Ends the connection with a reset, as a client that dies does.
  void Reset() {
    linger abort{1, 0};
    setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
  bool connected_ = false;
  PacketDecoder decoder_{1 << 20};  // replies may be longer than requests
};

// Stands in for the game: requests run on a real GameLoop thread, as in the server, and the
// bodies handled are recorded in order. "twice X" replies X twice, "none" replies nothing,
// "big N" replies N bytes, "room" the reply room, "peer" the client's address, "later X" X from
// a task of its own after the turn, "block" waits for Release(), "answer then block" replies
// and then waits; else an echo.
class FakeGame final : public RequestSink {
 public:
  FakeGame()
      : loop_(
            1h, [] {}, GameLoop::Clock::now()),
        thread_([this] { loop_.Run(); }) {}
  ~FakeGame() override { Stop(); }
  // Ends the game thread; requests still queued are dropped, as when the server stops.
  void Stop() {
    Release();
    loop_.Stop();
    if (thread_.joinable()) thread_.join();
  }
  void set_listener(Listener* listener) { listener_ = listener; }

  void Post(std::function<void()> task) override { loop_.Post(std::move(task)); }
  void Handle(const Request& request) override {
    const std::string& body = request.body;
    {
      std::lock_guard lock(mutex_);
      handled_.push_back(body);
      changed_.notify_all();
    }
    auto reply = [&](std::string text) {
      listener_->Reply(request.session, request.id, request.type, std::move(text));
    };
    if (body.starts_with("twice ")) {
      reply(body.substr(6));
      reply(body.substr(6));
    } else if (body.starts_with("big ")) {
      std::string text(std::stoul(body.substr(4)), '.');
      for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
      reply(text);
    } else if (body.starts_with("later ")) {
      Post([this, request] {
        listener_->Reply(request.session, request.id, request.type, request.body.substr(6));
      });
    } else if (body == "peer") {
      reply(request.peer);
    } else if (body == "room") {
      reply(std::to_string(listener_->ReplyRoom(request.session)));
    } else if (body == "block" || body == "answer then block") {
      if (body != "block") reply(body);
      std::unique_lock lock(mutex_);
      changed_.wait(lock, [this] { return released_; });
    } else if (body != "none") {
      reply(body);
    }
  }
  void OnSessionClosed(SessionId) override { ++closed_; }
  void OnTurn(bool begins) override { turn_ended_ = !begins; }

  bool turn_ended() const { return turn_ended_; }
  int closed() const { return closed_; }
  std::vector<std::string> handled() {
    std::lock_guard lock(mutex_);
    return handled_;
  }
  // Waits (5 s at most) until `body` has been taken by the game thread.
  bool WaitHandled(const std::string& body) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, 5s, [&] {
      return std::find(handled_.begin(), handled_.end(), body) != handled_.end();
    });
  }
  void Release() {
    std::lock_guard lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }

 private:
  GameLoop loop_;
  Listener* listener_ = nullptr;
  std::atomic<int> closed_{0};
  std::atomic<bool> turn_ended_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> handled_;
  bool released_ = false;
  std::thread thread_;
};

class ListenerTest : public ::testing::Test {
 protected:
  void Start(ListenerOptions options = {}) {
    options.port = 0;
    options.password = "pw";
    options.auth_reply_gap = 0ms;
    options.clock = [this] { return LoginGuard::Clock::now() + skew_.load(); };
    options.log = std::make_shared<spdlog::logger>("rcon", sink_);
    listener_ = Listener::Start(std::move(options), game_);
    game_.set_listener(listener_.get());
  }
  // The game thread goes first: it may still be answering through the listener.
  void TearDown() override {
    game_.Stop();
    listener_.reset();
  }
  static ListenerOptions Slots(int max_connections, int reserved) {
    ListenerOptions options;
    options.max_connections = max_connections;
    options.reserved_slots = reserved;
    return options;
  }
  uint16_t port() const { return listener_->port(); }
  // Polls (briefly) until the log has `count` lines containing `text`.
  bool Logged(const std::string& text, int count = 1) {
    for (int i = 0; i < 500; ++i) {
      if (sink_->Count(text) >= count) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }
  // Another client, logged in, is still served.
  void ExpectServed(RawClient& other) {
    other.Send(42, kTypeExecCommand, "still here");
    auto reply = other.Read();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->body, "still here");
  }

  std::shared_ptr<support::CaptureSink> sink_ = std::make_shared<support::CaptureSink>();
  std::atomic<LoginGuard::Clock::duration> skew_{LoginGuard::Clock::duration::zero()};
  FakeGame game_;
  std::unique_ptr<Listener> listener_;
};

TEST_F(ListenerTest, LoginThenCommandIsAnsweredWithItsIdAndType) {
  Start();
  RawClient client(port());
  client.Send(9, kTypeAuth, "pw");
  auto empty = client.Read();
  auto auth = client.Read();
  ASSERT_TRUE(empty && auth);
  EXPECT_EQ(empty->id, 9);
  EXPECT_EQ(empty->type, kTypeResponseValue);
  EXPECT_EQ(auth->id, 9);
  EXPECT_EQ(auth->type, kTypeAuthResponse);
  client.Send(123, kTypeExecCommand, "GetOnlineNum");
  auto reply = client.Read();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->id, 123);
  EXPECT_EQ(reply->type, kTypeExecCommand);
  EXPECT_EQ(reply->body, "GetOnlineNum");
  EXPECT_TRUE(Logged("RCON login from 127.0.0.1:"));
  client.Send(124, kTypeExecCommand, "peer");
  EXPECT_TRUE(client.Read()->body.starts_with("127.0.0.1:")) << "requests name their client";
  client.Send(125, kTypeExecCommand, "later x");
  EXPECT_EQ(client.Read()->body, "x") << "a reply after the turn goes out too";
}

// A burst written at once, login included: a command runs, its long reply cut into packets
// with its id; an empty response value is answered, after the replies of what came before, by
// an empty response value with its id; any other type is ignored; a command with two replies
// and one with none keep their places.
TEST_F(ListenerTest, PipelinedPacketsAreAnsweredInOrderAndOnlyCommandsRun) {
  Start();
  RawClient client(port());
  std::string burst = Encode(1, kTypeAuth, "pw") + Encode(3, kTypeExecCommand, "big 9000");
  burst += Encode(4, kTypeResponseValue, "");
  for (int32_t type : {-1, 1, 3 + 1, 100, 0x7fffffff})
    burst += Encode(50, type, "emu.plugin unload");
  burst += Encode(5, kTypeExecCommand, "twice x") + Encode(6, kTypeExecCommand, "none") +
           Encode(7, kTypeExecCommand, "last");
  client.SendBytes(burst);
  ASSERT_TRUE(client.Read() && client.Read());  // the login's two packets
  for (int32_t id : {3, 3, 3, 4, 5, 5, 7}) {
    auto packet = client.Read();
    ASSERT_TRUE(packet) << "request " << id;
    EXPECT_EQ(packet->id, id) << "nothing answered the packets of other types";
    if (id == 4) {  // the end marker
      EXPECT_EQ(packet->type, kTypeResponseValue);
      EXPECT_EQ(packet->body, "");
    }
  }
  EXPECT_EQ(game_.handled(), (std::vector<std::string>{"big 9000", "twice x", "none", "last"}));
  EXPECT_TRUE(Logged("ignored a packet of type 100 from 127.0.0.1:"));
}

TEST_F(ListenerTest, FailuresCountAcrossConnectionsAndWaitingOnesStopAtTheLockout) {
  ListenerOptions options;
  options.login_limits = {3, 30s, 300s};
  Start(options);
  RawClient logged_in(port());
  ASSERT_TRUE(logged_in.Login("pw"));
  RawClient pre_opened(port());
  ASSERT_TRUE(pre_opened.connected());
  for (int i = 0; i < 2; ++i) {
    RawClient guesser(port());
    EXPECT_EQ(guesser.LoginAnswer("guess"), -1);
  }
  EXPECT_TRUE(Logged("refused login from 127.0.0.1:", 2));
  RawClient last(port());
  EXPECT_EQ(last.LoginAnswer("guess"), -1);
  EXPECT_TRUE(last.Closed());
  EXPECT_TRUE(pre_opened.Closed()) << "a connection opened before the lockout stops";
  EXPECT_TRUE(Logged("address locked out", 2));
  ExpectServed(logged_in);  // it proved the password before the lockout began
}

// Beyond its share of slots an address is refused, beyond the limit every address is.
TEST_F(ListenerTest, ConnectionsBeyondTheLimitsAreRefused) {
  ListenerOptions options = Slots(3, 0);
  options.max_per_address = 2;
  Start(options);
  RawClient a(port()), b(port());
  ASSERT_TRUE(a.Login("pw"));
  ASSERT_TRUE(b.Login("pw"));
  RawClient c(port());
  EXPECT_TRUE(c.Closed());
  EXPECT_TRUE(Logged("limit of 2 connections from one address reached"));
  RawClient elsewhere(port(), "127.0.0.2");
  EXPECT_TRUE(elsewhere.Login("pw"));
  RawClient beyond(port(), "127.0.0.3");
  EXPECT_TRUE(beyond.Closed());
  EXPECT_TRUE(Logged("connection limit (3) reached"));
  ExpectServed(a);
}

TEST_F(ListenerTest, IdleSocketsCannotKeepAnAdministratorOut) {
  ListenerOptions options = Slots(6, 2);
  options.max_per_address = 3;
  Start(options);
  RawClient admin(port());
  ASSERT_TRUE(admin.Login("pw"));
  std::vector<std::unique_ptr<RawClient>> idle;
  for (const char* source : {"127.0.0.2", "127.0.0.3"})
    for (int i = 0; i < 5; ++i) idle.push_back(std::make_unique<RawClient>(port(), source));
  RawClient second_admin(port());
  EXPECT_TRUE(second_admin.Login("pw"));
  ExpectServed(second_admin);
  ExpectServed(admin);
  EXPECT_TRUE(Logged("a newer connection from its address took its slot"));
  EXPECT_TRUE(Logged("its slot was needed"));
}

// Every address holds one waiting connection: the newcomer takes the slot of a silent one,
// never that of the client whose login is on its way.
TEST_F(ListenerTest, AClientSendingItsLoginIsNeverEvicted) {
  Start(Slots(4, 1));
  RawClient admin(port());
  const std::string login = Encode(1, kTypeAuth, "pw");
  admin.SendBytes(login.substr(0, 5));
  ASSERT_TRUE(Logged("RCON connection from 127.0.0.1:"));
  RawClient idle_b(port(), "127.0.0.2"), idle_c(port(), "127.0.0.3"), newcomer(port(), "127.0.0.4");
  ASSERT_TRUE(Logged("its slot was needed"));
  admin.SendBytes(login.substr(5));
  EXPECT_TRUE(admin.Read() && admin.Read()) << "the admin's login was answered";
  EXPECT_TRUE(idle_b.Closed()) << "the oldest silent one made room";
}

// Beyond the server-wide rate, failures from many addresses wait their turn; a logged-in client
// is served meanwhile.
TEST_F(ListenerTest, FailedLoginsFromManyAddressesArePacedServerWide) {
  ListenerOptions options;
  options.login_limits = {100, 30s, 300s, 2};
  Start(options);
  RawClient admin(port());
  ASSERT_TRUE(admin.Login("pw"));
  std::vector<std::unique_ptr<RawClient>> guessers;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 6; ++i) {
    guessers.push_back(
        std::make_unique<RawClient>(port(), fmt::format("127.0.1.{}", i + 1).c_str()));
    guessers.back()->Send(1, kTypeAuth, "guess");
  }
  ExpectServed(admin);
  for (auto& guesser : guessers) {
    auto empty = guesser->Read(), auth = guesser->Read();
    ASSERT_TRUE(empty && auth);
    EXPECT_EQ(auth->id, -1);
  }
  EXPECT_GE(std::chrono::steady_clock::now() - start, 1400ms) << "2 a second, 3 at once";
}

TEST_F(ListenerTest, AConnectionMustLogInBeforeTheDeadline) {
  ListenerOptions options;
  options.login_deadline = 100ms;
  Start(options);
  RawClient slow(port());
  EXPECT_TRUE(slow.Closed());
  EXPECT_TRUE(Logged("no login within 0.1 s"));
  RawClient quick(port());
  ASSERT_TRUE(quick.Login("pw"));
  ExpectServed(quick);
}

// A logged-in client that sends nothing is closed when idle, also when its requests wait for it
// to read their replies: they are not the game's work.
TEST_F(ListenerTest, IdleConnectionsAreClosed) {
  ListenerOptions options;
  options.idle_timeout = 200ms;
  Start(options);
  RawClient client(port());
  ASSERT_TRUE(client.Login("pw"));
  RawClient lazy(port(), "127.0.0.1", 16 << 10);
  ASSERT_TRUE(lazy.Login("pw"));
  std::string burst;
  for (int i = 0; i < 20; ++i) burst += Encode(i, kTypeExecCommand, "big 1000000");
  lazy.SendBytes(burst);
  EXPECT_TRUE(client.Closed());
  EXPECT_TRUE(Logged("idle for 0.2 s", 2));
}

TEST_F(ListenerTest, RequestsAreServedInTurnsBetweenConnections) {
  Start();
  RawClient a(port()), b(port());
  ASSERT_TRUE(a.Login("pw"));
  ASSERT_TRUE(b.Login("pw"));
  std::string burst = Encode(1, kTypeExecCommand, "block");
  for (int i = 0; i < 20; ++i) burst += Encode(2 + i, kTypeExecCommand, fmt::format("a{}", i));
  a.SendBytes(burst + Encode(0, 100, ""));
  ASSERT_TRUE(game_.WaitHandled("block"));
  b.SendBytes(Encode(7, kTypeExecCommand, "b") + Encode(0, 100, ""));
  ASSERT_TRUE(Logged("ignored a packet of type 100", 2)) << "both bursts have been read";
  game_.Release();
  EXPECT_EQ(b.Read()->body, "b");
  const auto handled = game_.handled();
  const auto at = std::find(handled.begin(), handled.end(), "b") - handled.begin();
  EXPECT_LE(at, 2) << "b waited for at most one request of a after the one running";
}

TEST_F(ListenerTest, AClosedConnectionsWaitingRequestsNeverRun) {
  Start();
  RawClient other(port());
  ASSERT_TRUE(other.Login("pw"));
  auto dying = std::make_unique<RawClient>(port());
  ASSERT_TRUE(dying->Login("pw"));
  std::string burst = Encode(1, kTypeExecCommand, "block");
  for (int i = 0; i < 63; ++i) burst += Encode(2 + i, kTypeExecCommand, "dead");
  dying->SendBytes(burst + Encode(0, 100, ""));
  ASSERT_TRUE(game_.WaitHandled("block"));
  ASSERT_TRUE(Logged("ignored a packet of type 100")) << "the burst has been read";
  dying->Reset();
  for (int i = 0; i < 500 && game_.closed() < 1; ++i) std::this_thread::sleep_for(5ms);
  ASSERT_EQ(game_.closed(), 1);
  game_.Release();
  ExpectServed(other);
  const auto handled = game_.handled();
  EXPECT_EQ(std::count(handled.begin(), handled.end(), "dead"), 0);
}

TEST_F(ListenerTest, TooManyWaitingRequestsCloseTheConnection) {
  ListenerOptions options;
  options.max_queued_requests = 5;
  Start(options);
  RawClient other(port());
  ASSERT_TRUE(other.Login("pw"));
  RawClient flood(port());
  ASSERT_TRUE(flood.Login("pw"));
  flood.Send(1, kTypeExecCommand, "block");
  ASSERT_TRUE(game_.WaitHandled("block"));
  std::string burst;
  for (int i = 0; i < 6; ++i) burst += Encode(2 + i, kTypeExecCommand, "x");
  flood.SendBytes(burst);
  EXPECT_TRUE(flood.Closed());
  EXPECT_TRUE(Logged("more than 5 requests waiting"));
  game_.Release();
  ExpectServed(other);
}

TEST_F(ListenerTest, AClientThatDoesNotReadHoldsBackOnlyItself) {
  Start();
  RawClient other(port());
  ASSERT_TRUE(other.Login("pw"));
  RawClient lazy(port(), "127.0.0.1", 16 << 10);
  ASSERT_TRUE(lazy.Login("pw"));
  std::string burst;
  for (int i = 0; i < 40; ++i) burst += Encode(i, kTypeExecCommand, "big 1000000");
  lazy.SendBytes(burst);
  ASSERT_TRUE(game_.WaitHandled("big 1000000"));
  ExpectServed(other);
  const auto handled = game_.handled();
  EXPECT_LT(std::count(handled.begin(), handled.end(), "big 1000000"), 20)
      << "the lazy client's requests wait while its replies are not read";
  // Once it reads, it gets every reply, in order.
  for (int i = 0; i < 40; ++i) {
    std::size_t bytes = 0;
    while (bytes < 1000000) {
      auto packet = lazy.Read();
      ASSERT_TRUE(packet) << "reply " << i;
      ASSERT_EQ(packet->id, i);
      bytes += packet->body.size();
    }
  }
}

TEST_F(ListenerTest, AReplyPastTheUnreadLimitClosesTheConnection) {
  ListenerOptions options;
  options.max_unread_bytes = 64 << 10;
  Start(options);
  RawClient client(port());
  ASSERT_TRUE(client.Login("pw"));
  client.Send(1, kTypeExecCommand, "room");
  EXPECT_EQ(client.Read()->body, std::to_string(64 << 10));
  client.Send(2, kTypeExecCommand, "big 65000");
  std::size_t bytes = 0;
  while (bytes < 65000) {
    auto packet = client.Read();
    ASSERT_TRUE(packet) << "a reply that fits goes out";
    bytes += packet->body.size();
  }
  client.Send(3, kTypeExecCommand, "big 70000");
  EXPECT_TRUE(client.Closed());
  EXPECT_TRUE(
      Logged("a reply of 70252 bytes would take the replies not yet read past 65536 bytes"));
}

TEST_F(ListenerTest, ClosedSessionsAreReportedAndStopAllowsOpenConnections) {
  Start();
  {
    RawClient client(port());
    ASSERT_TRUE(client.Login("pw"));
  }
  RawClient open(port());
  ASSERT_TRUE(open.Login("pw"));
  for (int i = 0; i < 200 && game_.closed() < 1; ++i) std::this_thread::sleep_for(5ms);
  EXPECT_EQ(game_.closed(), 1);
  listener_.reset();
  EXPECT_TRUE(open.Closed());
  EXPECT_EQ(game_.closed(), 2);
}

// A reply leaves once its turn is over (when the log has its request's lines), and logins are
// answered while the game thread is busy.
TEST_F(ListenerTest, AReplyWaitsForItsTurnWhileLoginsGoOn) {
  Start();
  RawClient client(port());
  ASSERT_TRUE(client.Login("pw"));
  client.Send(5, kTypeExecCommand, "answer then block");
  ASSERT_TRUE(game_.WaitHandled("answer then block"));
  RawClient newcomer(port(), "127.0.0.2");
  EXPECT_TRUE(newcomer.Login("pw"));
  EXPECT_FALSE(game_.turn_ended());
  game_.Release();
  auto reply = client.Read();
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->body, "answer then block");
  EXPECT_TRUE(game_.turn_ended());
}

}  // namespace
}  // namespace server::rcon
