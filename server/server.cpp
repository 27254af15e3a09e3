#include "server/server.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <optional>
#include <random>
#include <thread>
#include <unordered_map>

#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"
#include "framework/host/running_game.h"
#include "game/game.h"
#include "game/journal/journal.h"
#include "game/rcon/rcon_connection.h"
#include "game/util/text.h"
#include "game/world/world_json.h"
#include "sdk/api.h"
#include "sdk/clock.h"
#include "server/audit.h"
#include "server/console.h"
#include "server/emu_commands.h"
#include "server/game_loop.h"
#include "server/held_sink.h"
#include "server/preview/preview_commands.h"
#include "server/rcon/listener.h"
#include "server/root_files.h"
#include "server/state_path.h"

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

// The shared sinks, which a turn of pipelined requests holds (see HeldSink).
class LogSinks {
 public:
  bool SetUp(const ServerOptions& options) {
    framework::ClearLogSinks();
    auto err = std::make_shared<HeldSink>();
    err->set_pattern(kLogPattern);
    Add(err);
    if (options.log_file) {
      try {
        auto file = std::make_shared<HeldSink>(*options.log_file);
        file->set_pattern(kLogPattern);
        Add(file);
      } catch (const std::exception& e) {
        Fail("cannot open log file " + *options.log_file + ": " + e.what());
        return false;
      }
    }
    return true;
  }
  void Hold(bool on) const {
    for (const auto& sink : sinks_) on ? sink->Hold() : sink->Release();
  }
  // Around a preview's fork (see HeldSink); in the copy, one sink captures and the rest are
  // silent.
  void LockForFork() const {
    for (const auto& sink : sinks_) sink->LockForFork();
  }
  void UnlockAfterFork() const {
    for (const auto& sink : sinks_) sink->UnlockAfterFork();
  }
  void CaptureInChild(const HeldSink::Capture& capture) const {
    for (std::size_t i = 0; i < sinks_.size(); ++i)
      sinks_[i]->CaptureInChild(i == 0 ? capture : nullptr);
  }

 private:
  void Add(std::shared_ptr<HeldSink> sink) {
    framework::AddLogSink(sink);
    sinks_.push_back(std::move(sink));
  }
  std::vector<std::shared_ptr<HeldSink>> sinks_;
};

// Runs request lines on the game thread, whoever sent them, and audits each one.
class LineRunner {
 public:
  LineRunner(game::Game& game, const Audit& audit, fs::path root)
      : game_(game), audit_(audit), root_(std::move(root)) {}

  // Replies go to the connection's outlet. Actors destroyed by the request are freed once it
  // is over, never inside a handler. `source` names the sender in the audit line.
  void Run(game::RconConnection& connection, std::string_view source, int32_t id, int32_t type,
           std::string_view utf8) const {
    const auto start = std::chrono::steady_clock::now();
    RCONPacket packet;
    packet.Id = id;
    packet.Type = type;
    packet.Length = static_cast<int32_t>(utf8.size()) + 10;
    packet.Body = game::ToFString(utf8);
    game::Journal* journal = game::ActiveJournal();
    // A recorded request's file effects are journaled too, by comparing the written folders.
    std::optional<RootFiles> files;
    if (journal != nullptr && journal->enabled()) {
      journal->SetRequest(std::string(source), id);
      files = ListRootFiles(root_);
    }
    framework::Dispatch(connection.Handle(), &packet, HostApi::GetApiUtils().CurrentWorld());
    if (files) {
      JournalFileChanges(CompareRootFiles(*files, ListRootFiles(root_)));
      journal->ClearRequest();
    }
    const std::size_t replies = connection.replies().size();
    connection.ClearReplies();  // the outlet has them; a long session must not pile them up
    game_.CollectGarbage();
    audit_.Record({source, id, utf8, replies, std::chrono::steady_clock::now() - start});
  }

 private:
  game::Game& game_;
  const Audit& audit_;
  fs::path root_;
};

// The game-thread side of the listener: each network session gets its own game connection
// (created at its first request); the listener hands requests over through the game loop.
class RconBridge final : public rcon::RequestSink {
 public:
  RconBridge(GameLoop& loop, const LineRunner& runner, const LogSinks& log)
      : loop_(loop), runner_(runner), log_(log) {}
  void set_listener(rcon::Listener* listener) { listener_ = listener; }

  void Post(std::function<void()> task) override { loop_.Post(std::move(task)); }
  void Handle(const rcon::Request& request) override {
    Client& client = connections_[request.session];
    if (!client.connection) {
      client.connection = std::make_unique<game::RconConnection>(
          [listener = listener_, session = request.session](const game::RconReply& reply) {
            listener->Reply(session, reply.id, reply.type, game::ToUtf8(reply.text));
          });
      client.source = "rcon " + request.peer;  // built once, not per request
      sessions_[client.connection->Handle()] = request.session;
    }
    runner_.Run(*client.connection, client.source, request.id, request.type, request.body);
  }
  // The log's lines of a turn of pipelined requests leave together, after their replies.
  void Gather(bool on) override { log_.Hold(on); }
  void OnSessionClosed(rcon::SessionId session) override {
    loop_.Post([this, session] {
      auto it = connections_.find(session);
      if (it == connections_.end()) return;
      sessions_.erase(it->second.connection->Handle());
      connections_.erase(it);
    });
  }

  // Game thread. Requests of RCON clients are remote; the console's and --exec's are not.
  RequestOrigin OriginOf(RCONClientConnection* connection) const {
    auto it = sessions_.find(connection);
    if (it == sessions_.end()) return {};
    return {true, listener_->ReplyRoom(it->second)};
  }

 private:
  GameLoop& loop_;
  const LineRunner& runner_;
  const LogSinks& log_;
  rcon::Listener* listener_ = nullptr;
  // A session's game connection and its name in the audit line.
  struct Client {
    std::unique_ptr<game::RconConnection> connection;
    std::string source;
  };
  std::unordered_map<rcon::SessionId, Client> connections_;
  std::unordered_map<RCONClientConnection*, rcon::SessionId> sessions_;
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

rcon::ListenerOptions ListenerOptionsFrom(const ServerOptions& options) {
  rcon::ListenerOptions rcon;
  rcon.bind_address = options.bind_address;
  rcon.port = options.rcon_port;
  const char* env_password = std::getenv("ORVANE_RCON_PASSWORD");
  if (options.rcon_password)
    rcon.password = *options.rcon_password;  // never empty: the option refuses that
  else if (env_password != nullptr && *env_password != '\0')
    rcon.password = env_password;
  else
    rcon.password = RandomPassword();
  rcon.max_connections = options.max_connections;
  rcon.reserved_slots = options.reserved_slots.value_or(options.max_connections / 4);
  rcon.max_per_address = options.max_per_address;
  rcon.login_deadline = options.login_deadline;
  rcon.idle_timeout = options.idle_timeout;
  rcon.login_limits = {options.login_failures, options.login_window, options.lockout};
  rcon.auth_reply_gap = options.auth_reply_gap;
  rcon.max_packet_size = options.max_packet_size;
  rcon.max_queued_requests = static_cast<std::size_t>(options.max_queued_requests);
  rcon.max_unread_bytes = static_cast<std::size_t>(options.max_unread_bytes);
  rcon.log = std::make_shared<spdlog::logger>("rcon", GetLogSinks().begin(), GetLogSinks().end());
  rcon.log->flush_on(spdlog::level::info);
  return rcon;
}

// Lines to try on the loaded world: one names a player who is online, when there is one.
std::vector<std::string> ExampleLines(const game::Game& game) {
  const std::vector<std::string> online = game.OnlineEosIds();
  if (online.empty()) return {"GetOnlineNum", "ListOnlinePlayers"};
  return {"ListOnlinePlayers", "GetPlayerPos " + online.front()};
}

// The start-up notice: where to connect, with what, and what to try.
void PrintNotice(const std::string& address, unsigned port, const std::string& password,
                 const std::vector<std::string>& examples) {
  std::string runs;
  for (const std::string& line : examples) runs += "; print(c.run(\"" + line + "\"))";
  std::fprintf(stderr,
               "orvane-server: RCON listening on %s port %u, password \"%s\"\n"
               "orvane-server: connect with any Source RCON client, for example:\n"
               "  /usr/bin/python3 -c 'from rcon.source import Client; c = Client(\"%s\", %u, "
               "passwd=\"%s\"); c.connect(True)%s'\n",
               address.c_str(), port, password.c_str(), address.c_str(), port, password.c_str(),
               runs.c_str());
}

// What every start that serves ends its notice with.
void PrintCommandHint(const std::vector<std::string>& examples) {
  std::fprintf(stderr,
               "orvane-server: type commands here too, such as %s; emu.commands lists them all "
               "(usage: docs/commands.md); Ctrl-C stops the server\n",
               examples.back().c_str());
}

}  // namespace

int RunServer(const ServerOptions& given, const std::string& executable_dir) {
  signal(SIGPIPE, SIG_IGN);  // a vanished reader of standard output must not kill the server

  // Commands may move the process's current directory (the profile removal does): every path of
  // the server's own is fixed here, against the directory it started in.
  std::error_code error;
  const fs::path start_dir = fs::current_path(error);
  if (error) {
    Fail("cannot read the current directory: " + error.message());
    return 1;
  }
  const ServerOptions options = WithAbsolutePaths(given, start_dir);

  LogSinks log_sinks;
  if (!log_sinks.SetUp(options)) return 1;

  std::string world_json(game::DefaultWorldJson());
  if (options.world_file) {
    try {
      world_json = game::ReadWorldFileText(*options.world_file, options.world_max_bytes);
    } catch (const game::WorldFileError& e) {
      Fail(*options.world_file + ": " + e.what());
      return 1;
    }
  }

  const fs::path root = options.root;
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

  PluginSlot slot{options.plugin.value_or((start_dir / executable_dir / "libOrvane.so").string()),
                  nullptr};
  // RCON requests are told apart once the listener's bridge exists (it outlives the commands'
  // use: the server's entries are removed before this function returns).
  RconBridge* bridge_of_requests = nullptr;
  RegisterEmuCommands(
      {*game, slot, StateFolder(root), start_dir, [&](RCONClientConnection* connection) {
         return bridge_of_requests ? bridge_of_requests->OriginOf(connection) : RequestOrigin{};
       }});
  RegisterPreviewCommands(
      {root, start_dir, [&log_sinks] { log_sinks.LockForFork(); },
       [&log_sinks] { log_sinks.UnlockAfterFork(); },
       [&log_sinks](HeldSink::Capture capture) { log_sinks.CaptureInChild(capture); },
       [&](RCONClientConnection* connection) {
         return bridge_of_requests ? bridge_of_requests->OriginOf(connection).reply_room
                                   : std::numeric_limits<std::size_t>::max();
       }});
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
  const Audit audit(!options.no_audit);
  const LineRunner runner(*game, audit, root);
  game::RconConnection console(PrintReply);
  int32_t console_id = 0;
  for (const auto& line : options.exec_lines) {
    runner.Run(console, "exec", ++console_id, 2, line);
    loop.RunDue(now());
  }

  if (options.exec_lines.empty() || options.serve) {
    // Before any thread starts, so that every thread inherits the mask.
    sigset_t signals = SignalWatcher::WatchedSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    RconBridge bridge(loop, runner, log_sinks);
    bridge_of_requests = &bridge;
    const std::vector<std::string> examples = ExampleLines(*game);
    std::unique_ptr<rcon::Listener> listener;
    if (!options.no_rcon) {
      rcon::ListenerOptions rcon = ListenerOptionsFrom(options);
      const std::string password = rcon.password;
      try {
        // On the game loop's event loop: requests are read, run and answered on the game
        // thread, without a hand-off between threads.
        listener = rcon::Listener::Start(std::move(rcon), bridge, loop.io());
      } catch (const std::exception& e) {
        Fail(e.what());
        return 1;
      }
      bridge.set_listener(listener.get());
      PrintNotice(options.bind_address, listener->port(), password, examples);
    } else {
      std::fprintf(stderr, "orvane-server: no RCON listener\n");
    }
    PrintCommandHint(examples);
    {
      SignalWatcher watcher(loop);
      ConsoleReader reader(STDIN_FILENO, [&](std::string line) {
        loop.Post(
            [&, line = std::move(line)] { runner.Run(console, "console", ++console_id, 2, line); });
      });
      loop.Run();
      // Still on the game thread: the plugin goes first, while the world it uses exists.
      slot.plugin.reset();
    }
    listener.reset();
    bridge_of_requests = nullptr;
    framework::FrameworkLog().info("RCON listener closed; server stopped");
  }
  slot.plugin.reset();
  framework::RemoveEntriesOf("server");
  return 0;
}

}  // namespace server
