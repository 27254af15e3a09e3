#include "server/options.h"

#include <charconv>
#include <functional>
#include <map>

namespace server {
namespace {

// Parses a whole decimal number within [min, max].
bool ParseNumber(const std::string& text, long long min, long long max, long long& out) {
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, out);
  return ec == std::errc() && ptr == end && !text.empty() && out >= min && out <= max;
}

}  // namespace

std::string UsageText() {
  return R"(usage: orvane-server [options]
Hosts the Orvane plugin on a stand-in game world and answers RCON clients.

  --world FILE               world file (JSON); default: the embedded default world
  --root DIR                 server root (binaries and save folders); default ./server-root
  --plugin FILE              plugin library; default libOrvane.so beside the executable
  --bind ADDR                RCON listen address; default 127.0.0.1
  --rcon-port N              RCON port; default 27020 (0: any free port)
  --rcon-password P          RCON password; else $ORVANE_RCON_PASSWORD; else a random one
  --no-rcon                  no RCON listener
  --exec LINE                run a command line after loading (repeatable), print its
                             replies, then exit unless --serve is given; timer callbacks
                             that are due run after each line
  --serve                    keep running after the --exec lines
  --timer-ms N               period of the timer callbacks in ms; default 1000
  --journal FILE             write the call journal there, one JSON object a line
  --log-file FILE            also write the log there
  --rcon-max-connections N   connections served at once; default 16
  --rcon-idle-timeout-ms N   close a connection silent this long; default 600000 (0: never)
  --rcon-login-failures N    failed logins that lock an address out; default 5
  --rcon-login-window-ms N   ... when they fall within this time; default 30000
  --rcon-lockout-ms N        how long a locked-out address is refused; default 300000
  --rcon-auth-gap-ms N       pause between the two packets answering a login; default 50
  --help                     this text

Lines typed on standard input run like RCON requests; their replies go to standard output.
The server's own commands: emu.state [FILE], emu.plugin unload|load|reload, emu.disconnect EOS,
emu.clock [advance SECONDS].
)";
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
  ParseResult result;
  ServerOptions& o = result.options;
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
  auto integer = [](int& field, long long min, long long max) -> Setter {
    return [&field, min, max](const std::string& v) {
      long long n = 0;
      if (!ParseNumber(v, min, max, n)) return false;
      field = static_cast<int>(n);
      return true;
    };
  };
  auto millis = [](std::chrono::milliseconds& field, long long min) -> Setter {
    return [&field, min](const std::string& v) {
      long long n = 0;
      if (!ParseNumber(v, min, 1LL << 40, n)) return false;
      field = std::chrono::milliseconds(n);
      return true;
    };
  };
  const std::map<std::string, Setter, std::less<>> valued = {
      {"--world", optional_text(o.world_file)},
      {"--root", text(o.root)},
      {"--plugin", optional_text(o.plugin)},
      {"--bind", text(o.bind_address)},
      {"--rcon-port",
       [&o](const std::string& v) {
         long long n = 0;
         if (!ParseNumber(v, 0, 65535, n)) return false;
         o.rcon_port = static_cast<uint16_t>(n);
         return true;
       }},
      {"--rcon-password", optional_text(o.rcon_password)},
      {"--exec",
       [&o](const std::string& v) {
         o.exec_lines.push_back(v);
         return true;
       }},
      {"--timer-ms", millis(o.timer_period, 1)},
      {"--journal", optional_text(o.journal_file)},
      {"--log-file", optional_text(o.log_file)},
      {"--rcon-max-connections", integer(o.max_connections, 1, 100000)},
      {"--rcon-idle-timeout-ms", millis(o.idle_timeout, 0)},
      {"--rcon-login-failures", integer(o.login_failures, 1, 1000000)},
      {"--rcon-login-window-ms", millis(o.login_window, 1)},
      {"--rcon-lockout-ms", millis(o.lockout, 0)},
      {"--rcon-auth-gap-ms", millis(o.auth_reply_gap, 0)},
  };
  const std::map<std::string, bool*, std::less<>> flags = {
      {"--no-rcon", &o.no_rcon}, {"--serve", &o.serve}, {"--help", &o.help}};

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
    if (!setter->second(*value)) {
      result.error = "bad value for " + name + ": \"" + *value + "\"";
      return result;
    }
  }
  return result;
}

}  // namespace server
