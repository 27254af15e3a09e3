#include "server/options.h"

#include <charconv>
#include <functional>
#include <map>
#include <type_traits>

#include <fmt/format.h>

namespace server {
namespace {

// Parses a whole decimal number within [min, max].
bool ParseNumber(const std::string& text, long long min, long long max, long long& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty() && out >= min && out <= max;
}

std::string Absolute(const std::string& path, const std::filesystem::path& base) {
  return (base / path).lexically_normal().string();
}

}  // namespace

// The defaults shown are those of a ServerOptions as made, so that each is written once.
std::string UsageText() {
  const ServerOptions d;
  const rcon::ListenerOptions& r = d.rcon;
  const auto ms = [](auto duration) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
  };
  return fmt::format(
      R"(usage: orvane-server [options]
Hosts the Orvane plugin on a stand-in game world and answers RCON clients.

  --world FILE               world file (JSON, see docs/world-file.md); default: the
                             embedded default world
  --world-max-bytes N        refuse larger world files; default {world_max_bytes} ({world_max_mib} MiB)
  --root DIR                 server root (binaries and save folders); default {root}
  --plugin FILE              plugin library; default libOrvane.so beside the executable
  --bind ADDR                RCON listen address; default {bind}
  --rcon-port N              RCON port; default {port} (0: any free port)
  --rcon-password P          RCON password (not empty); else $ORVANE_RCON_PASSWORD; else
                             a random one
  --no-rcon                  no RCON listener
  --exec LINE                run a command line after loading (repeatable), print its
                             replies, then exit unless --serve is given; timer callbacks
                             that are due run after each line
  --serve                    keep running after the --exec lines
  --label-replies            print each --exec reply after its command line and a tab, to
                             tell which line gave which reply
  --timer-ms N               period of the timer callbacks in ms; default {timer_ms}
  --journal FILE             write the call journal there, one JSON object a line
  --log-file FILE            also write the log there
  --no-audit                 no audit line (source, id, command line, replies, time) on the
                             log for each request
  --accounts FILE            a login per administrator instead of the one RCON password,
                             each with the commands it may run (see docs/accounts.md);
                             reread on SIGHUP and by emu.accounts reload
  --web-port N               serve the web console on this port (0: any free port); off
                             unless given (see docs/web-console.md)
  --web-bind ADDR            the web console's listen address; default {web_bind}; reach
                             it from elsewhere through an SSH tunnel rather than opening it
  --hash-password            read a password from standard input, print its hash for an
                             accounts file, and exit
  --rcon-max-connections N   connections served at once; default {max_connections}
  --rcon-reserved-slots N    ... of which only for logged-in clients; default a quarter
  --rcon-max-per-address N   connections from one address; default {max_per_address}
  --rcon-login-deadline-ms N close a connection not logged in by then; default {login_deadline} (0: never)
  --rcon-idle-timeout-ms N   close a connection silent this long; default {idle_timeout} (0: never)
  --rcon-login-failures N    failed logins that lock an address out; default {login_failures}
  --rcon-login-window-ms N   ... when they fall within this time; default {login_window}
  --rcon-lockout-ms N        how long a locked-out address is refused; default {lockout}
  --rcon-login-failures-per-second N
                             failed logins a second, all addresses together; beyond
                             them a login waits its turn; default {failures_per_second}
                             (0: no limit)
  --rcon-auth-gap-ms N       pause between the two packets answering a login; default {auth_gap}
  --rcon-max-packet-size N   largest packet size a client may send; default {max_packet_size}
  --rcon-max-queued N        requests waiting per connection before it is closed; default {max_queued}
  --rcon-max-unread-bytes N  reply bytes a client may leave unread; default {max_unread}
  --help                     this text

Lines typed on standard input run like RCON requests; their replies go to standard output.
The server's own commands: emu.state [FILE], emu.plugin unload|load|reload, emu.disconnect EOS,
emu.clock [advance SECONDS], emu.commands (every command; their usage is in docs/commands.md),
emu.accounts reload (reread the --accounts file).
)",
      fmt::arg("world_max_bytes", d.world_max_bytes),
      fmt::arg("world_max_mib", d.world_max_bytes >> 20), fmt::arg("root", d.root),
      fmt::arg("web_bind", d.web_bind), fmt::arg("bind", r.bind_address), fmt::arg("port", r.port),
      fmt::arg("timer_ms", ms(d.timer_period)), fmt::arg("max_connections", r.max_connections),
      fmt::arg("max_per_address", r.max_per_address),
      fmt::arg("login_deadline", ms(r.login_deadline)),
      fmt::arg("idle_timeout", ms(r.idle_timeout)),
      fmt::arg("login_failures", r.login_limits.max_failures),
      fmt::arg("login_window", ms(r.login_limits.window)),
      fmt::arg("lockout", ms(r.login_limits.lockout)),
      fmt::arg("failures_per_second", r.login_limits.failures_per_second),
      fmt::arg("auth_gap", ms(r.auth_reply_gap)), fmt::arg("max_packet_size", r.max_packet_size),
      fmt::arg("max_queued", r.max_queued_requests), fmt::arg("max_unread", r.max_unread_bytes));
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  ServerOptions& o = result.options;
  rcon::ListenerOptions& r = o.rcon;
  using Setter = std::function<bool(const std::string&)>;
  auto text = [](std::string& field) -> Setter {
    return [&field](const std::string& v) {
      field = v;
      return true;
    };
  };
  auto optional_text = [](std::optional<std::string>& field) -> Setter {
    return [&field](const std::string& v) {
      field = v;
      return true;
    };
  };
  // `field`: an integer of any width or an optional int.
  auto integer = [](auto& field, long long min, long long max) -> Setter {
    return [&field, min, max](const std::string& v) {
      long long n = 0;
      if (!ParseNumber(v, min, max, n)) return false;
      field = static_cast<std::remove_reference_t<decltype(field)>>(n);
      return true;
    };
  };
  // `field`: any duration, given in milliseconds.
  auto millis = [](auto& field, long long min) -> Setter {
    return [&field, min](const std::string& v) {
      long long n = 0;
      if (!ParseNumber(v, min, 1LL << 40, n)) return false;
      field = std::chrono::milliseconds(n);
      return true;
    };
  };
  const std::map<std::string, Setter, std::less<>> valued = {
      {"--world", optional_text(o.world_file)},
      {"--world-max-bytes",
       [&o](const std::string& v) {
         long long n = 0;
         if (!ParseNumber(v, 1, 1LL << 50, n)) return false;
         o.world_max_bytes = static_cast<std::uintmax_t>(n);
         return true;
       }},
      {"--root", text(o.root)},
      {"--plugin", optional_text(o.plugin)},
      {"--bind", text(o.rcon.bind_address)},
      {"--rcon-port", integer(o.rcon.port, 0, 65535)},
      {"--rcon-password", optional_text(o.rcon_password)},
      {"--exec",
       [&o](const std::string& v) {
         o.exec_lines.push_back(v);
         return true;
       }},
      {"--timer-ms", millis(o.timer_period, 1)},
      {"--journal", optional_text(o.journal_file)},
      {"--log-file", optional_text(o.log_file)},
      {"--accounts", optional_text(o.accounts_file)},
      {"--web-port", integer(o.web_port, 0, 65535)},
      {"--web-bind", text(o.web_bind)},
      {"--rcon-max-connections", integer(r.max_connections, 1, 100000)},
      {"--rcon-reserved-slots", integer(r.reserved_slots, 0, 99999)},
      {"--rcon-max-per-address", integer(r.max_per_address, 1, 100000)},
      {"--rcon-login-deadline-ms", millis(r.login_deadline, 0)},
      {"--rcon-idle-timeout-ms", millis(r.idle_timeout, 0)},
      {"--rcon-login-failures", integer(r.login_limits.max_failures, 1, 1000000)},
      {"--rcon-login-window-ms", millis(r.login_limits.window, 1)},
      {"--rcon-lockout-ms", millis(r.login_limits.lockout, 0)},
      {"--rcon-login-failures-per-second", integer(r.login_limits.failures_per_second, 0, 1000000)},
      {"--rcon-auth-gap-ms", millis(r.auth_reply_gap, 0)},
      {"--rcon-max-packet-size", integer(r.max_packet_size, 10, 1 << 24)},
      {"--rcon-max-queued", integer(r.max_queued_requests, 1, 1 << 24)},
      {"--rcon-max-unread-bytes", integer(r.max_unread_bytes, 4096, 1LL << 40)},
  };
  const std::map<std::string, bool*, std::less<>> flags = {{"--no-rcon", &o.no_rcon},
                                                           {"--serve", &o.serve},
                                                           {"--label-replies", &o.label_replies},
                                                           {"--no-audit", &o.no_audit},
                                                           {"--hash-password", &o.hash_password},
                                                           {"--help", &o.help}};

  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::optional<std::string> value;
    if (auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    if (auto flag = flags.find(name); flag != flags.end()) {
      if (value) {
        result.error = "option " + name + " takes no value";
        return result;
      }
      *flag->second = true;
      continue;
    }
    auto setter = valued.find(name);
    if (setter == valued.end()) {
      result.error = "unknown option " + args[i];
      return result;
    }
    if (!value) {
      if (i + 1 >= args.size()) {
        result.error = "option " + name + " needs a value";
        return result;
      }
      value = args[++i];
    }
    if (name == "--rcon-password" && value->empty()) {
      result.error = "--rcon-password cannot be empty (leave it out for a random password)";
      return result;
    }
    if (!setter->second(*value)) {
      result.error = "bad value for " + name + ": \"" + *value + "\"";
      return result;
    }
  }
  if (o.accounts_file && o.rcon_password)
    result.error =
        "--rcon-password and --accounts exclude each other: with accounts, each "
        "account's password logs in";
  if (!o.web_port && o.web_bind != ServerOptions().web_bind)
    result.error = "--web-bind needs --web-port (the web console is off without it)";
  if (r.reserved_slots && *r.reserved_slots >= r.max_connections)
    result.error = "--rcon-reserved-slots must be below --rcon-max-connections (" +
                   std::to_string(r.max_connections) + ")";
  return result;
}

ServerOptions WithAbsolutePaths(ServerOptions options, const std::filesystem::path& base) {
  for (std::optional<std::string>* path :
       {&options.world_file, &options.plugin, &options.journal_file, &options.log_file,
        &options.accounts_file})
    if (*path) **path = Absolute(**path, base);
  options.root = Absolute(options.root, base);
  return options;
}

}  // namespace server
