// Request round trips over RCON on loopback, beside their physical floor, in one binary:
//   TcpEchoRoundTrip      a raw TCP echo of a packet-sized message (asio server thread)
//   RconListenerRoundTrip the RCON listener and game loop with an echo handler, wired as in the
//                         server: decoding, the request queue, the game loop's turn, encoding
//   RconServerRoundTrip   the real orvane-server (plugin loaded, default world) answering
//                         "GetOnlineNum"
// each with one blocking client doing request, then reply; and the same three with 64 clients
// that each keep 8 requests in flight (…Pipelined, items_per_second is the throughput). The
// server's two run once more with an accounts file (…Accounts): the password is checked at
// login, and each request only asks whether its account may run the command.
// Loopback only; bounded: a fixed run time per benchmark, and every child process is stopped
// at the end.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <poll.h>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <asio.hpp>

#include "server/accounts/password_hash.h"
#include "server/game_loop.h"
#include "server/rcon/listener.h"
#include "server/rcon/packet.h"

extern char** environ;

namespace {

using server::rcon::Encode;

// A blocking loopback client.
class Client {
 public:
  explicit Client(uint16_t port) : fd_(socket(AF_INET, SOCK_STREAM, 0)) {
    int one = 1;
    setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    timeval timeout{10, 0};
    setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
      throw std::runtime_error("cannot connect to port " + std::to_string(port));
  }
  ~Client() { close(fd_); }
  int fd() const { return fd_; }

  void Send(const std::string& bytes) {
    if (send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size()))
      throw std::runtime_error("send failed");
  }
  std::string ReadExactly(std::size_t n) {
    std::string out(n, '\0');
    for (std::size_t got = 0; got < n;) {
      const ssize_t r = recv(fd_, out.data() + got, n - got, 0);
      if (r <= 0) throw std::runtime_error("connection lost");
      got += static_cast<std::size_t>(r);
    }
    return out;
  }
  // One RCON packet's body.
  std::string ReadPacket() {
    const std::string header = ReadExactly(4);
    int32_t size = 0;
    std::memcpy(&size, header.data(), 4);
    return ReadExactly(static_cast<std::size_t>(size)).substr(8, size - 10);
  }
  void Login(const std::string& password) {
    Send(Encode(1, 3, password));
    ReadPacket();
    ReadPacket();
  }

 private:
  int fd_;
};

// The floor: an asio echo server on its own thread, any number of connections.
class EchoServer {
 public:
  EchoServer() : acceptor_(io_, {asio::ip::make_address("127.0.0.1"), 0}) {
    Accept();
    thread_ = std::thread([this] { io_.run(); });
  }
  ~EchoServer() {
    io_.stop();
    thread_.join();
  }
  uint16_t port() const { return acceptor_.local_endpoint().port(); }

 private:
  struct Connection : std::enable_shared_from_this<Connection> {
    explicit Connection(asio::ip::tcp::socket s) : socket(std::move(s)) {}
    void Echo() {
      socket.async_read_some(asio::buffer(buffer),
                             [self = shared_from_this()](std::error_code error, std::size_t n) {
                               if (error) return;
                               asio::async_write(self->socket, asio::buffer(self->buffer.data(), n),
                                                 [self](std::error_code e, std::size_t) {
                                                   if (!e) self->Echo();
                                                 });
                             });
    }
    asio::ip::tcp::socket socket;
    std::array<char, 4096> buffer;
  };

  void Accept() {
    acceptor_.async_accept([this](std::error_code error, asio::ip::tcp::socket socket) {
      if (error) return;
      socket.set_option(asio::ip::tcp::no_delay(true));
      std::make_shared<Connection>(std::move(socket))->Echo();
      Accept();
    });
  }
  asio::io_context io_;
  asio::ip::tcp::acceptor acceptor_;
  std::thread thread_;
};

// The listener with a game loop that echoes each body back, wired as the server wires them:
// the listener on its network thread, requests handed to the game loop's thread.
class EchoGame final : public server::rcon::RequestSink {
 public:
  EchoGame()
      : loop_(
            std::chrono::hours(1), [] {}, server::GameLoop::Clock::now()) {
    server::rcon::ListenerOptions options;
    options.port = 0;
    options.password = "bench";
    options.max_connections = 100;
    options.max_per_address = 100;
    options.auth_reply_gap = std::chrono::milliseconds(0);
    listener_ = server::rcon::Listener::Start(options, *this);
    thread_ = std::thread([this] { loop_.Run(); });
  }
  ~EchoGame() override {
    loop_.Stop();
    thread_.join();
    listener_.reset();
  }
  uint16_t port() const { return listener_->port(); }
  void Post(std::function<void()> task) override { loop_.Post(std::move(task)); }
  void Handle(const server::rcon::Request& r) override {
    listener_->Reply(r.session, r.id, r.type, r.body);
  }
  void OnSessionClosed(server::rcon::SessionId) override {}

 private:
  server::GameLoop loop_;
  std::unique_ptr<server::rcon::Listener> listener_;
  std::thread thread_;
};

// orvane-server as a child process on a free port; stopped with SIGTERM. Its log (the audit
// line of every request among it) goes to a file, as a served log does, so that no reader of
// ours wakes per line and takes the CPU from the client. With `accounts`, the password "bench"
// is an account's that may run some groups of commands, GetOnlineNum's among them.
class ServerProcess {
 public:
  explicit ServerProcess(bool accounts = false) {
    root_ = "/tmp/orvane-bench-" + std::to_string(getpid());
    log_ = root_ + ".log";
    accounts_ = root_ + ".accounts.json";
    std::ofstream(accounts_) << R"({"accounts": [{"name": "bench", "password_hash": ")"
                             << server::accounts::HashPassword("bench",
                                                               server::accounts::HashCost::kLowest)
                             << R"(", "allow": ["server-info", "player-queries", "messaging"],)"
                             << R"( "deny": ["emu.plugin", "KickAllPlayers"]}]})";
    std::vector<std::string> args = {ORVANE_SERVER_PATH,
                                     "--plugin",
                                     ORVANE_PLUGIN_PATH,
                                     "--root",
                                     root_,
                                     "--rcon-port",
                                     "0",
                                     accounts ? "--accounts" : "--rcon-password",
                                     accounts ? accounts_ : "bench",
                                     "--rcon-max-connections",
                                     "100",
                                     "--rcon-max-per-address",
                                     "100",
                                     "--rcon-auth-gap-ms",
                                     "0"};
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, log_.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
      throw std::runtime_error("cannot start orvane-server");
    posix_spawn_file_actions_destroy(&actions);
    // Waits for the start-up notice, which names the port.
    const std::regex notice("RCON listening on \\S+ port (\\d+)");
    std::smatch match;
    std::string text;
    for (int waited = 0; !std::regex_search(text, match, notice); ++waited) {
      int status = 0;
      if (waited > 3000 || waitpid(pid_, &status, WNOHANG) != 0)
        throw std::runtime_error("orvane-server did not start:\n" + text);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      std::ifstream in(log_);
      text.assign(std::istreambuf_iterator<char>(in), {});
    }
    port_ = static_cast<uint16_t>(std::stoi(match[1]));
  }
  ~ServerProcess() {
    kill(pid_, SIGTERM);
    int status = 0;
    waitpid(pid_, &status, 0);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
    std::filesystem::remove(log_, ignored);
    std::filesystem::remove(accounts_, ignored);
  }
  uint16_t port() const { return port_; }

 private:
  pid_t pid_ = 0;
  uint16_t port_ = 0;
  std::string root_;
  std::string log_;
  std::string accounts_;
};

// 64 clients, each keeping `kDepth` requests in flight, driven from one thread with poll:
// each iteration completes one round of kDepth requests on every client.
constexpr int kClients = 64;
constexpr int kDepth = 8;

void Pipelined(benchmark::State& state, uint16_t port, bool login, std::size_t reply_size) {
  std::vector<std::unique_ptr<Client>> clients;
  for (int i = 0; i < kClients; ++i) {
    clients.push_back(std::make_unique<Client>(port));
    if (login) clients.back()->Login("bench");
  }
  std::string burst;
  for (int i = 0; i < kDepth; ++i) burst += Encode(7, 2, "GetOnlineNum");
  const std::size_t expected = reply_size * kDepth;
  std::vector<pollfd> fds(kClients);
  std::vector<std::size_t> got(kClients);
  std::vector<char> sink(1 << 16);
  for (auto _ : state) {
    for (int i = 0; i < kClients; ++i) {
      clients[i]->Send(burst);
      got[i] = 0;
      fds[i] = {clients[i]->fd(), POLLIN, 0};
    }
    for (int open = kClients; open > 0;) {
      if (poll(fds.data(), fds.size(), 10000) <= 0) throw std::runtime_error("no reply");
      for (int i = 0; i < kClients; ++i) {
        if ((fds[i].revents & POLLIN) == 0) continue;
        const ssize_t n = recv(fds[i].fd, sink.data(), sink.size(), 0);
        if (n <= 0) throw std::runtime_error("connection lost");
        got[i] += static_cast<std::size_t>(n);
        if (got[i] >= expected) {
          fds[i].fd = -fds[i].fd - 1;  // done this round: poll ignores negative descriptors
          --open;
        }
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * kClients * kDepth);
}

// The size of the server's reply to the request below, read once.
std::size_t ReplySize(uint16_t port, bool login) {
  Client client(port);
  if (login) client.Login("bench");
  client.Send(Encode(7, 2, "GetOnlineNum"));
  return client.ReadPacket().size() + 14;
}

void TcpEchoRoundTrip(benchmark::State& state) {
  EchoServer echo;
  Client client(echo.port());
  const std::string message = Encode(7, 2, "GetOnlineNum");
  for (auto _ : state) {
    client.Send(message);
    benchmark::DoNotOptimize(client.ReadExactly(message.size()));
  }
}

void RconListenerRoundTrip(benchmark::State& state) {
  EchoGame game;
  Client client(game.port());
  client.Login("bench");
  const std::string request = Encode(7, 2, "GetOnlineNum");
  for (auto _ : state) {
    client.Send(request);
    benchmark::DoNotOptimize(client.ReadPacket());
  }
}

void ServerRoundTrip(benchmark::State& state, bool accounts) {
  ServerProcess server(accounts);
  Client client(server.port());
  client.Login("bench");
  const std::string request = Encode(7, 2, "GetOnlineNum");
  for (auto _ : state) {
    client.Send(request);
    benchmark::DoNotOptimize(client.ReadPacket());
  }
}

void TcpEchoPipelined(benchmark::State& state) {
  EchoServer echo;
  Pipelined(state, echo.port(), false, Encode(7, 2, "GetOnlineNum").size());
}

void RconListenerPipelined(benchmark::State& state) {
  EchoGame game;
  Pipelined(state, game.port(), true, ReplySize(game.port(), true));
}

void ServerPipelined(benchmark::State& state, bool accounts) {
  ServerProcess server(accounts);
  Pipelined(state, server.port(), true, ReplySize(server.port(), true));
}

void RconServerRoundTrip(benchmark::State& state) { ServerRoundTrip(state, false); }
void RconServerRoundTripAccounts(benchmark::State& state) { ServerRoundTrip(state, true); }
void RconServerPipelined(benchmark::State& state) { ServerPipelined(state, false); }
void RconServerPipelinedAccounts(benchmark::State& state) { ServerPipelined(state, true); }

BENCHMARK(TcpEchoRoundTrip)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RconListenerRoundTrip)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RconServerRoundTrip)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RconServerRoundTripAccounts)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(TcpEchoPipelined)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RconListenerPipelined)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RconServerPipelined)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(RconServerPipelinedAccounts)->MinTime(1.0)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
