#include "server/rcon/listener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <thread>

#include "server/game_loop.h"
#include "server/rcon/packet.h"
#include "tests/support/capture_sink.h"

namespace server::rcon {
namespace {

using namespace std::chrono_literals;

// A blocking loopback client with a receive timeout, so a test fails instead of hanging.
class RawClient {
 public:
  explicit RawClient(uint16_t port) {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{5, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    connected_ = connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  }
  ~RawClient() { close(fd_); }

  bool connected() const { return connected_; }
  void SendBytes(std::string_view bytes) {
    ASSERT_EQ(send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL),
              static_cast<ssize_t>(bytes.size()));
  }
  void Send(int32_t id, int32_t type, std::string_view body) { SendBytes(Encode(id, type, body)); }

  // The next packet, or nullopt when the server closed the connection (or 5 s passed).
  std::optional<Packet> Read() {
    std::string header;
    if (!ReadExactly(4, header)) return std::nullopt;
    uint32_t size = 0;
    for (int i = 3; i >= 0; --i) size = (size << 8) | static_cast<unsigned char>(header[i]);
    std::string rest;
    if (!ReadExactly(size, rest)) return std::nullopt;
    Packet packet;
    std::memcpy(&packet.id, rest.data(), 4);
    std::memcpy(&packet.type, rest.data() + 4, 4);
    packet.body = rest.substr(8, size - 10);
    return packet;
  }
  bool Login(std::string_view password, int32_t id = 1) {
    Send(id, kTypeAuth, password);
    auto empty = Read();
    auto auth = Read();
    return empty && auth && empty->type == kTypeResponseValue && auth->type == kTypeAuthResponse &&
           auth->id == id;
  }
  // True when the server has closed the connection (end of stream or reset).
  bool Closed() {
    char byte;
    const ssize_t n = recv(fd_, &byte, 1, 0);
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
  }

 private:
  bool ReadExactly(std::size_t n, std::string& out) {
    out.resize(n);
    for (std::size_t got = 0; got < n;) {
      const ssize_t r = recv(fd_, out.data() + got, n - got, 0);
      if (r <= 0) return false;
      got += static_cast<std::size_t>(r);
    }
    return true;
  }
  int fd_;
  bool connected_ = false;
};

// Stands in for the game: requests run on a real GameLoop thread, as in the server.
// "twice X" replies X twice, "none" replies nothing, "big N" replies N bytes, else an echo.
class FakeGame final : public RequestSink {
 public:
  FakeGame()
      : loop_(
            1h, [] {}, GameLoop::Clock::now()),
        thread_([this] { loop_.Run(); }) {}
  ~FakeGame() override { Stop(); }
  // Ends the game thread; requests still queued are dropped, as when the server stops.
  void Stop() {
    loop_.Stop();
    if (thread_.joinable()) thread_.join();
  }
  void set_listener(Listener* listener) { listener_ = listener; }
  void OnRequest(Request request) override {
    loop_.Post([this, request] {
      const std::string& body = request.body;
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
      } else if (body != "none") {
        reply(body);
      }
      listener_->Done(request.session);
    });
  }
  void OnSessionClosed(SessionId) override { ++closed_; }
  int closed() const { return closed_; }

 private:
  GameLoop loop_;
  Listener* listener_ = nullptr;
  std::atomic<int> closed_{0};
  std::thread thread_;
};

class ListenerTest : public ::testing::Test {
 protected:
  void Start(ListenerOptions options = {}) {
    options.port = 0;
    options.password = "pw";
    options.auth_reply_gap = 0ms;
    options.log = std::make_shared<spdlog::logger>("rcon", sink_);
    listener_ = Listener::Start(std::move(options), game_);
    game_.set_listener(listener_.get());
  }
  // The game thread goes first: it may still be answering through the listener.
  void TearDown() override {
    game_.Stop();
    listener_.reset();
  }
  uint16_t port() const { return listener_->port(); }
  // Polls (briefly) until the log has a line containing `text`.
  bool Logged(const std::string& text) {
    for (int i = 0; i < 200; ++i) {
      if (sink_->Count(text) > 0) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }
  // Another client, logged in, is still served.
  void ExpectOthersServed(RawClient& other) {
    other.Send(42, kTypeExecCommand, "still here");
    auto reply = other.Read();
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->body, "still here");
  }

  std::shared_ptr<support::CaptureSink> sink_ = std::make_shared<support::CaptureSink>();
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
}

TEST_F(ListenerTest, WrongPasswordIsAnsweredWithMinusOneAndMayRetry) {
  Start();
  RawClient client(port());
  client.Send(5, kTypeAuth, "pW");
  auto empty = client.Read();
  auto auth = client.Read();
  ASSERT_TRUE(empty && auth);
  EXPECT_EQ(empty->id, 5);
  EXPECT_EQ(auth->id, -1);
  EXPECT_EQ(auth->type, kTypeAuthResponse);
  EXPECT_TRUE(Logged("refused login from 127.0.0.1:"));
  EXPECT_TRUE(client.Login("pw"));
}

TEST_F(ListenerTest, LongRepliesArriveInFullPacketsWithTheRequestId) {
  Start();
  RawClient client(port());
  ASSERT_TRUE(client.Login("pw"));
  client.Send(8, kTypeExecCommand, "big 10000");
  std::string joined;
  for (std::size_t expected : {4096u, 4096u, 1808u}) {
    auto packet = client.Read();
    ASSERT_TRUE(packet);
    EXPECT_EQ(packet->id, 8);
    EXPECT_EQ(packet->body.size(), expected);
    joined += packet->body;
  }
  EXPECT_EQ(joined.substr(0, 3), "abc");
  EXPECT_EQ(joined.size(), 10000u);
  client.Send(9, kTypeExecCommand, "after");
  EXPECT_EQ(client.Read()->body, "after") << "nothing more came with the long reply";
}

TEST_F(ListenerTest, PipelinedRequestsAreAnsweredInOrder) {
  Start();
  RawClient client(port());
  std::string burst = Encode(1, kTypeAuth, "pw");
  for (int i = 0; i < 200; ++i)
    burst += Encode(100 + i, kTypeExecCommand,
                    i % 3 == 0 ? "twice " + std::to_string(i)
                               : (i % 3 == 1 ? std::string("none") : std::to_string(i)));
  client.SendBytes(burst);
  ASSERT_TRUE(client.Read() && client.Read());  // the login's two packets
  for (int i = 0; i < 200; ++i) {
    if (i % 3 == 1) continue;
    for (int copy = 0; copy < (i % 3 == 0 ? 2 : 1); ++copy) {
      auto reply = client.Read();
      ASSERT_TRUE(reply) << "request " << i;
      EXPECT_EQ(reply->id, 100 + i);
      EXPECT_EQ(reply->body, std::to_string(i));
    }
  }
}

TEST_F(ListenerTest, ConnectionsBeyondTheLimitAreRefused) {
  ListenerOptions options;
  options.max_connections = 2;
  Start(options);
  RawClient a(port()), b(port());
  ASSERT_TRUE(a.Login("pw"));
  ASSERT_TRUE(b.Login("pw"));
  RawClient c(port());
  EXPECT_TRUE(c.Closed());
  EXPECT_TRUE(Logged("connection limit (2) reached"));
  ExpectOthersServed(a);
}

TEST_F(ListenerTest, IdleConnectionsAreClosed) {
  ListenerOptions options;
  options.idle_timeout = 150ms;
  Start(options);
  RawClient client(port());
  ASSERT_TRUE(client.Login("pw"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(client.Closed());
  EXPECT_GE(std::chrono::steady_clock::now() - start, 100ms);
  EXPECT_TRUE(Logged("idle for"));
}

TEST_F(ListenerTest, AClientThatDoesNotReadItsRepliesIsClosed) {
  ListenerOptions options;
  options.max_pending_output = 1u << 20;
  Start(options);
  RawClient other(port());
  ASSERT_TRUE(other.Login("pw"));
  RawClient client(port());
  ASSERT_TRUE(client.Login("pw"));
  // More than the kernel's socket buffers hold, so replies pile up in the listener.
  for (int i = 0; i < 40; ++i) client.Send(i, kTypeExecCommand, "big 1000000");
  EXPECT_TRUE(Logged("bytes of replies not read"));
  ExpectOthersServed(other);
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

}  // namespace
}  // namespace server::rcon
