#include "server/server.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <random>
#include <sstream>
#include <thread>
#include <unordered_map>

#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/sinks/stdout_sinks.h>

#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"
#include "framework/host/running_game.h"
#include "game/game.h"
#include "game/rcon/rcon_connection.h"
#include "game/util/text.h"
#include "sdk/api.h"
#include "sdk/clock.h"
#include "server/console.h"
#include "server/emu_commands.h"
#include "server/game_loop.h"
#include "server/rcon/listener.h"

namespace server {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLogPattern = "%D %R [%n][%l] %v";

void Fail(const std::string& message) {
  std::fprintf(stderr, "orvane-server: %s\n", message.c_str());
}

// Standard output carries replies only, one line each; the console and --exec share it.
void PrintReply(const game::RconReply& reply) {
  static std::mutex mutex;
  const std::string line = game::ToUtf8(reply.text) + "\n";
  std::lock_guard lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

// Runs one request line on the game thread; its replies go to the connection's outlet.
// Actors destroyed by the request are freed once it is over, never inside a handler.
void DispatchLine(game::Game& game, game::RconConnection& connection, int32_t id, int32_t type,
                  std::string_view utf8) {
  RCONPacket packet;
  packet.Id = id;
  packet.Type = type;
  packet.Length = static_cast<int32_t>(utf8.size()) + 10;
  packet.Body = FString(std::u16string_view(game::ToUtf16(utf8)));
  framework::Dispatch(connection.Handle(), &packet, HostApi::GetApiUtils().CurrentWorld());
  connection.ClearReplies();  // the outlet has them; a long session must not pile them up
  game.CollectGarbage();
}

// The game-thread side of the listener: each network session gets its own game connection
// (created at its first request), and each request is dispatched as a task of the game loop.
class RconBridge final : public rcon::RequestSink {
 public:
  RconBridge(GameLoop& loop, game::Game& game) : loop_(loop), game_(game) {}
  void set_listener(rcon::Listener* listener) { listener_ = listener; }

  void OnRequest(rcon::Request request) override {
    loop_.Post([this, request = std::move(request)] { Handle(request); });
  }
  void OnSessionClosed(rcon::SessionId session) override {
    loop_.Post([this, session] { connections_.erase(session); });
  }

 private:
  void Handle(const rcon::Request& request) {
    auto& connection = connections_[request.session];
    if (!connection) {
      connection = std::make_unique<game::RconConnection>(
          [listener = listener_, session = request.session](const game::RconReply& reply) {
            listener->Reply(session, reply.id, reply.type, game::ToUtf8(reply.text));
          });
    }
    DispatchLine(game_, *connection, request.id, request.type, request.body);
    listener_->Done(request.session);
  }

  GameLoop& loop_;
  game::Game& game_;
  rcon::Listener* listener_ = nullptr;
  std::unordered_map<rcon::SessionId, std::unique_ptr<game::RconConnection>> connections_;
};

// Waits for SIGINT or SIGTERM on its own thread and stops the loop. The signals are blocked in
// every thread (the mask is set before any thread starts), so only sigwait sees them.
class SignalWatcher {
 public:
  explicit SignalWatcher(GameLoop& loop) {
    thread_ = std::thread([this, &loop] {
      sigset_t set = WatchedSignals();
      for (;;) {
        int signal = 0;
        if (sigwait(&set, &signal) != 0) continue;
        if (signal == SIGUSR2 && done_) return;
        if (signal == SIGINT || signal == SIGTERM) {
          framework::FrameworkLog().info("Stopping on signal {}",
                                         signal == SIGINT ? "SIGINT" : "SIGTERM");
          loop.Stop();
          return;
        }
      }
    });
  }
  ~SignalWatcher() {
    done_ = true;
    pthread_kill(thread_.native_handle(), SIGUSR2);
    thread_.join();
  }
  static sigset_t WatchedSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGUSR2);
    return set;
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

std::string RandomPassword() {
  static constexpr char kAlphabet[] = "abcdefghijkmnpqrstuvwxyz23456789";
  std::random_device device;
  std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
  std::string password;
  for (int i = 0; i < 16; ++i) password += kAlphabet[pick(device)];
  return password;
}

bool ReadFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream text;
  text << in.rdbuf();
  out = text.str();
  return !in.bad();
}

bool SetUpLogSinks(const ServerOptions& options) {
  framework::ClearLogSinks();
  auto err = std::make_shared<spdlog::sinks::stderr_sink_mt>();
  err->set_pattern(kLogPattern);
  framework::AddLogSink(err);
  if (options.log_file) {
    try {
      auto file = std::make_shared<spdlog::sinks::basic_file_sink_mt>(*options.log_file);
      file->set_pattern(kLogPattern);
      framework::AddLogSink(file);
    } catch (const std::exception& e) {
      Fail("cannot open log file " + *options.log_file + ": " + e.what());
      return false;
    }
  }
  return true;
}

rcon::ListenerOptions ListenerOptionsFrom(const ServerOptions& options) {
  rcon::ListenerOptions rcon;
  rcon.bind_address = options.bind_address;
  rcon.port = options.rcon_port;
  const char* env_password = std::getenv("ORVANE_RCON_PASSWORD");
  if (options.rcon_password && !options.rcon_password->empty())
    rcon.password = *options.rcon_password;
  else if (env_password != nullptr && *env_password != '\0')
    rcon.password = env_password;
  else
    rcon.password = RandomPassword();
  rcon.max_connections = options.max_connections;
  rcon.idle_timeout = options.idle_timeout;
  rcon.login_limits = {options.login_failures, options.login_window, options.lockout};
  rcon.auth_reply_gap = options.auth_reply_gap;
  rcon.log = std::make_shared<spdlog::logger>("rcon", GetLogSinks().begin(), GetLogSinks().end());
  rcon.log->flush_on(spdlog::level::info);
  return rcon;
}

// The start-up notice: where to connect, with what, and what to try.
void PrintNotice(const std::string& address, unsigned port, const std::string& password) {
  std::fprintf(stderr,
               "orvane-server: RCON listening on %s port %u, password \"%s\"\n"
               "orvane-server: connect with any Source RCON client, for example:\n"
               "  /usr/bin/python3 -c 'from rcon.source import Client; c = Client(\"%s\", %u, "
               "passwd=\"%s\"); c.connect(True); print(c.run(\"GetOnlineNum\")); "
               "print(c.run(\"ListOnlinePlayers\"))'\n"
               "orvane-server: or type GetOnlineNum or ListOnlinePlayers here; Ctrl-C stops "
               "the server\n",
               address.c_str(), port, password.c_str(), address.c_str(), port, password.c_str());
}

}  // namespace

int RunServer(const ServerOptions& options, const std::string& executable_dir) {
  signal(SIGPIPE, SIG_IGN);  // a vanished reader of standard output must not kill the server

  if (!SetUpLogSinks(options)) return 1;

  std::string world_json(game::DefaultWorldJson());
  if (options.world_file && !ReadFile(*options.world_file, world_json)) {
    Fail("cannot read world file " + *options.world_file);
    return 1;
  }

  std::error_code error;
  const fs::path root = fs::absolute(options.root, error).lexically_normal();
  const fs::path plugin_folder = root / "Binaries" / "Win64" / "HostApi" / "Plugins" / "Orvane";
  fs::create_directories(plugin_folder, error);
  if (error) {
    Fail("cannot create " + plugin_folder.string() + ": " + error.message());
    return 1;
  }

  std::unique_ptr<game::Game> game;
  try {
    game = game::Game::Create(world_json, root.string());
  } catch (const game::WorldFileError& e) {
    Fail((options.world_file ? *options.world_file : std::string("default world")) + ": " +
         e.what());
    return 1;
  }
  game->Install();
  framework::SetCurrentDir(framework::BinariesDirOf(root.string()));

  std::ofstream journal;
  if (options.journal_file) {
    journal.open(*options.journal_file, std::ios::binary | std::ios::trunc);
    if (!journal) {
      Fail("cannot write journal " + *options.journal_file);
      return 1;
    }
    game->SetJournalSink([&journal](const std::string& line) {
      journal << line << '\n' << std::flush;
    });
  }

  PluginSlot slot{options.plugin.value_or(executable_dir + "/libOrvane.so"), nullptr};
  RegisterEmuCommands(*game, slot);
  try {
    slot.plugin = framework::LoadedPlugin::Load(slot.path);
  } catch (const std::exception& e) {
    Fail(e.what());
    return 1;
  }

  // The loop runs on the framework's clock, so that "emu.clock advance" makes due timer
  // callbacks run at the next tick instead of after the real wait.
  auto now = [] { return HostApi::GetClock().MonotonicNow(); };
  auto tick = [&game] {
    framework::TickTimers();
    game->CollectGarbage();
  };
  GameLoop loop(options.timer_period, tick, now(), now);

  // Each --exec line is followed by the tick when one is due, as between requests in a loop.
  game::RconConnection console(PrintReply);
  int32_t console_id = 0;
  for (const auto& line : options.exec_lines) {
    DispatchLine(*game, console, ++console_id, 2, line);
    loop.RunDue(now());
  }

  if (options.exec_lines.empty() || options.serve) {
    // Before any thread starts, so that every thread inherits the mask.
    sigset_t signals = SignalWatcher::WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    RconBridge bridge(loop, *game);
    std::unique_ptr<rcon::Listener> listener;
    if (!options.no_rcon) {
      rcon::ListenerOptions rcon = ListenerOptionsFrom(options);
      const std::string password = rcon.password;
      try {
        // On the game loop's own event loop: requests are read, run and answered on the game
        // thread, without a hand-off between threads.
        listener = rcon::Listener::Start(std::move(rcon), bridge, loop.io());
      } catch (const std::exception& e) {
        Fail(e.what());
        return 1;
      }
      bridge.set_listener(listener.get());
      PrintNotice(options.bind_address, listener->port(), password);
    } else {
      std::fprintf(stderr,
                   "orvane-server: no RCON listener; type commands such as \"GetOnlineNum\" "
                   "or \"ListOnlinePlayers\" here; stop with Ctrl-C\n");
    }
    {
      SignalWatcher watcher(loop);
      ConsoleReader reader(STDIN_FILENO, [&](std::string line) {
        loop.Post(
            [&, line = std::move(line)] { DispatchLine(*game, console, ++console_id, 2, line); });
      });
      loop.Run();
      // Still on the game thread: the plugin goes first, while the world it uses exists.
      slot.plugin.reset();
    }
    listener.reset();
    framework::FrameworkLog().info("RCON listener closed; server stopped");
  }
  slot.plugin.reset();
  framework::RemoveEntriesOf("server");
  return 0;
}

}  // namespace server
