#include "server/server.h"

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <mutex>
#include <random>
#include <utility>
#include <vector>

#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"
#include "framework/host/running_game.h"
#include "game/game.h"
#include "game/rcon/rcon_connection.h"
#include "game/util/text.h"
#include "game/world/world_json.h"
#include "sdk/api.h"
#include "sdk/clock.h"
#include "server/accounts_command.h"
#include "server/audit.h"
#include "server/console.h"
#include "server/emu_commands.h"
#include "server/game_loop.h"
#include "server/line_runner.h"
#include "server/preview/preview_commands.h"
#include "server/rcon/listener.h"
#include "server/rcon_bridge.h"
#include "server/shared_sinks.h"
#include "server/signal_watcher.h"
#include "server/state_path.h"
#include "server/web/audit_feed.h"
#include "server/web/web_console.h"

namespace server {
namespace {

namespace fs = std::filesystem;

void Fail(const std::string& message) {
  std::fprintf(stderr, "orvane-server: %s\n", message.c_str());
}

// Standard output carries replies only, one line each; the console and --exec share it.
void PrintReply(const game::RconReply& reply, std::string_view label) {
  static std::mutex mutex;
  std::string line(label);
  if (!label.empty()) line += '\t';
  line += reply.Utf8() + "\n";
  std::lock_guard lock(mutex);
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

std::string RandomPassword() {
  static constexpr char kAlphabet[] = "abcdefghijkmnpqrstuvwxyz23456789";
  std::random_device device;
  std::uniform_int_distribution<int> pick(0, sizeof kAlphabet - 2);
  std::string password;
  for (int i = 0; i < 16; ++i) password += kAlphabet[pick(device)];
  return password;
}

rcon::ListenerOptions ListenerOptionsFrom(const ServerOptions& options,
                                          std::shared_ptr<accounts::AccountStore> accounts) {
  rcon::ListenerOptions rcon = options.rcon;
  const char* env_password = std::getenv("ORVANE_RCON_PASSWORD");
  rcon.accounts = std::move(accounts);  // with accounts, each account's password logs in
  if (options.rcon_password)
    rcon.password = *options.rcon_password;  // never empty: the option refuses that
  else if (env_password != nullptr && *env_password != '\0')
    rcon.password = env_password;
  else if (!rcon.accounts)
    rcon.password = RandomPassword();
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

// Where the plugin writes its dump files ("... in plugins root folder!").
fs::path PluginFolder(const fs::path& root) {
  return root / "Binaries" / "Win64" / "HostApi" / "Plugins" / "Orvane";
}

// What every start that serves ends its notice with.
void PrintCommandHint(const std::vector<std::string>& examples, const fs::path& root) {
  std::fprintf(stderr,
               "orvane-server: type commands here too, such as %s; emu.commands lists them all "
               "(usage: docs/commands.md); Ctrl-C stops the server\n"
               "orvane-server: dump files (\"generated file ... in plugins root folder\") land in "
               "%s\n",
               examples.back().c_str(), PluginFolder(root).c_str());
}

// The console's and the --exec lines' connection, ids from 1: replies go to standard output
// once the request is over, after its log lines (its audit line among them).
class LocalLines {
 public:
  explicit LocalLines(const LineRunner& runner) : runner_(runner) {}
  // `label`, when not empty, is printed before each reply, with a tab.
  void Run(std::string_view source, std::string_view line, std::string_view label = {}) {
    runner_.Run(connection_, source, ++last_id_, 2, line);
    for (const game::RconReply& reply : std::exchange(replies_, {})) PrintReply(reply, label);
  }

 private:
  const LineRunner& runner_;
  std::vector<game::RconReply> replies_;
  game::RconConnection connection_{
      [this](const game::RconReply& reply) { replies_.push_back(reply); }};
  int32_t last_id_ = 0;
};

// The world from the world file (or the embedded default), installed as the running game, with
// the journal (when asked for) written to `journal`. None after saying why on standard error.
std::unique_ptr<game::Game> LoadWorld(const ServerOptions& options, std::ofstream& journal) {
  std::string world_json(game::DefaultWorldJson());
  if (options.world_file) {
    try {
      world_json = game::ReadWorldFileText(*options.world_file, options.world_max_bytes);
    } catch (const game::WorldFileError& e) {
      Fail(*options.world_file + ": " + e.what());
      return nullptr;
    }
  }

  const fs::path root = options.root;
  const fs::path plugin_folder = PluginFolder(root);
  std::error_code error;
  fs::create_directories(plugin_folder, error);
  if (error) {
    Fail("cannot create " + plugin_folder.string() + ": " + error.message());
    return nullptr;
  }

  std::unique_ptr<game::Game> game;
  try {
    game = game::Game::Create(world_json, root.string());
  } catch (const game::WorldFileError& e) {
    Fail((options.world_file ? *options.world_file : std::string("default world")) + ": " +
         e.what());
    return nullptr;
  }
  game->Install();
  framework::SetCurrentDir(framework::BinariesDirOf(root.string()));

  if (options.journal_file) {
    journal.open(*options.journal_file, std::ios::binary | std::ios::trunc);
    if (!journal) {
      Fail("cannot write journal " + *options.journal_file);
      return nullptr;
    }
    game->SetJournalSink([&journal](const std::string& line) {
      journal << line << '\n' << std::flush;
    });
  }
  return game;
}

// Registers the server's own commands (emu.*, emu.accounts, emu.preview and emu.diff) and loads the
// plugin into `slot`. False after saying why on standard error.
bool LoadPlugin(const EmuContext& context, accounts::AccountStore* accounts,
                PreviewContext preview) {
  RegisterEmuCommands(context);
  RegisterAccountsCommand(accounts);
  RegisterPreviewCommands(std::move(preview));
  try {
    context.slot.plugin = framework::LoadedPlugin::Load(context.slot.path);
  } catch (const std::exception& e) {
    Fail(e.what());
    return false;
  }
  return true;
}

// Each --exec line is followed by the tick when one is due, as between requests in a loop.
void RunExecLines(const ServerOptions& options, LocalLines& lines, GameLoop& loop,
                  const GameLoop::Now& now) {
  for (const auto& line : options.exec_lines) {
    lines.Run("exec", line, options.label_replies ? std::string_view(line) : "");
    loop.RunDue(now());
  }
}

// The web console's side of serving: what it needs of the server, and the console once started.
struct WebSide {
  const LineRunner& runner;
  const SharedSinks& sinks;
  web::EventHub* events;  // null: no web console
  std::unique_ptr<web::WebConsole>& console;
};

// Starts the web console with the logins RCON uses; false after saying why.
bool StartWebConsole(const ServerOptions& options, const rcon::ListenerOptions& login,
                     GameLoop& loop, WebSide& web) {
  auto log = std::make_shared<spdlog::logger>("web", GetLogSinks().begin(), GetLogSinks().end());
  log->flush_on(spdlog::level::info);
  try {
    web.console = web::WebConsole::Start(
        {options.web_bind, *options.web_port, login.login_guard, login.accounts, std::move(log)},
        loop, web.runner, web.sinks, *web.events);
  } catch (const std::exception& e) {
    Fail(e.what());
    return false;
  }
  std::string with = "an account's password";
  if (login.accounts->Current()->single_password())
    with = options.no_rcon ? "the password \"" + login.password + "\"" : "the RCON password";
  std::fprintf(stderr, "orvane-server: web console at http://%s:%u/ ; log in with %s\n",
               options.web_bind.c_str(), web.console->port(), with.c_str());
  return true;
}

// Serves the console, RCON and the web console until SIGINT or SIGTERM, then unloads the plugin
// (on the game thread, while the world it uses exists) and closes the listeners. False when a
// listener cannot start.
bool Serve(const ServerOptions& options, const game::Game& game, GameLoop& loop, RconBridge& bridge,
           LocalLines& lines, PluginSlot& slot,
           const std::shared_ptr<accounts::AccountStore>& accounts, WebSide& web) {
  // Before any thread starts, so that every thread inherits the mask.
  SignalWatcher::BlockWatchedSignals(accounts != nullptr);
  const std::vector<std::string> examples = ExampleLines(game);
  std::unique_ptr<rcon::Listener> listener;
  // One set of logins and one lockout for RCON and the web console.
  rcon::ListenerOptions login;
  if (!options.no_rcon || options.web_port) {
    login = ListenerOptionsFrom(options, accounts);
    if (!login.accounts)
      login.accounts = std::make_shared<accounts::AccountStore>(
          accounts::Accounts::SinglePassword(login.password));
    login.login_guard = std::make_shared<rcon::LoginGuard>(login.login_limits);
  }
  if (!options.no_rcon) {
    rcon::ListenerOptions rcon = login;
    const std::string password = rcon.password;
    try {
      listener = rcon::Listener::Start(std::move(rcon), bridge);
    } catch (const std::exception& e) {
      Fail(e.what());
      return false;
    }
    bridge.set_listener(listener.get());
    if (accounts)
      std::fprintf(stderr,
                   "orvane-server: RCON listening on %s port %u; each account of %s logs in "
                   "with its own password\n",
                   options.rcon.bind_address.c_str(), listener->port(),
                   options.accounts_file->c_str());
    else
      PrintNotice(options.rcon.bind_address, listener->port(), password, examples);
  } else {
    std::fprintf(stderr, "orvane-server: no RCON listener\n");
  }
  if (options.web_port && !StartWebConsole(options, login, loop, web)) return false;
  PrintCommandHint(examples, options.root);
  {
    std::function<void()> on_hangup;
    if (accounts) on_hangup = [store = accounts.get()] { ReloadAccounts(store); };
    SignalWatcher watcher(loop, std::move(on_hangup));
    ConsoleReader reader(STDIN_FILENO, [&](std::string line) {
      loop.Post([&lines, line = std::move(line)] { lines.Run("console", line); });
    });
    loop.Run();
    slot.plugin.reset();
  }
  web.console.reset();
  listener.reset();
  framework::FrameworkLog().info("RCON listener closed; server stopped");
  return true;
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

  SharedSinks sinks;
  if (!sinks.SetUp(options)) return 1;
  // Before the loggers are made: the web console's live streams take the audit lines.
  std::unique_ptr<web::EventHub> web_events;
  if (options.web_port) {
    web_events = std::make_unique<web::EventHub>();
    framework::AddLogSink(web::MakeAuditFeed(*web_events));
  }

  std::shared_ptr<accounts::AccountStore> accounts;
  if (options.accounts_file) {
    try {
      accounts = std::make_shared<accounts::AccountStore>(
          accounts::Accounts::Load(*options.accounts_file), *options.accounts_file);
    } catch (const accounts::AccountsError& e) {
      Fail(e.what());
      return 1;
    }
  }

  std::ofstream journal;
  const std::unique_ptr<game::Game> game = LoadWorld(options, journal);
  if (!game) return 1;

  // The loop runs on the framework's clock, so that "emu.clock advance" makes due timer
  // callbacks run at the next tick instead of after the real wait.
  const GameLoop::Now now = [] { return HostApi::GetClock().MonotonicNow(); };
  const auto sweep_notes = std::make_shared<TimedSweepNotes>();
  framework::AddLogSink(TimedSweepNotes::Watcher(sweep_notes));
  auto tick = [&game, &sweep_notes] {
    framework::TickTimers();
    sweep_notes->AfterTimers(framework::FrameworkLog());
    game->CollectGarbage();
  };
  GameLoop loop(options.timer_period, tick, now(), now);
  const Audit audit(!options.no_audit);
  const LineRunner runner(*game, audit, options.root, sweep_notes.get());
  RconBridge bridge(loop, runner, sinks);

  std::unique_ptr<web::WebConsole> web_console;
  const auto origin_of = [&bridge, &web_console](RCONClientConnection* connection) {
    if (web_console)
      if (auto origin = web_console->OriginOf(connection)) return *origin;
    return bridge.OriginOf(connection);
  };
  PluginSlot slot{options.plugin.value_or((start_dir / executable_dir / "libOrvane.so").string()),
                  nullptr, [&sweep_notes] { sweep_notes->Forget(); }};
  if (!LoadPlugin(
          {*game, slot, StateFolder(options.root), start_dir, origin_of}, accounts.get(),
          {options.root, start_dir, [&sinks] { sinks.LockForFork(); },
           [&sinks] { sinks.UnlockAfterFork(); },
           [&sinks](HeldSink::Capture capture) { sinks.CaptureInChild(std::move(capture)); },
           [origin_of](RCONClientConnection* connection) {
             return origin_of(connection).reply_room;
           }}))
    return 1;

  LocalLines lines(runner);
  RunExecLines(options, lines, loop, now);
  const bool serve = options.exec_lines.empty() || options.serve;
  WebSide web{runner, sinks, web_events.get(), web_console};
  const bool ok = !serve || Serve(options, *game, loop, bridge, lines, slot, accounts, web);
  slot.plugin.reset();
  framework::RemoveEntriesOf("server");
  return ok ? 0 : 1;
}

}  // namespace server
