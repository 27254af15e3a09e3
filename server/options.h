// The command line of orvane-server. ParseOptions is pure: it reads only its arguments (the
// password's environment variable is the caller's business) and never exits.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "server/rcon/listener.h"

namespace server {

struct ServerOptions {
  std::optional<std::string> world_file;  // none: the embedded default world
  // The largest world file read: far above any real world (a few MiB), so that a wrong path
  // (a log, a disk image) is refused rather than read into memory.
  std::uintmax_t world_max_bytes = std::uintmax_t{256} << 20;
  std::string root = "./server-root";
  std::optional<std::string> plugin;  // none: libOrvane.so beside the executable
  // The listener's address, port and limits, their defaults as the listener has them; its
  // password, clock and log are the server's to fill.
  rcon::ListenerOptions rcon;
  std::optional<std::string> rcon_password;  // never empty
  bool no_rcon = false;
  std::vector<std::string> exec_lines;
  bool label_replies = false;  // each --exec reply printed after its line and a tab
  bool serve = false;
  std::chrono::milliseconds timer_period{1000};
  std::optional<std::string> journal_file;
  std::optional<std::string> log_file;
  bool no_audit = false;                     // no audit line per request
  std::optional<std::string> accounts_file;  // none: the one RCON password opens everything
  std::optional<uint16_t> web_port;          // none: no web console; 0: any free port
  std::string web_bind = "127.0.0.1";        // the web console's address
  bool hash_password = false;                // print a password's hash and exit
  bool help = false;
};

struct ParseResult {
  ServerOptions options;
  std::string error;  // empty on success; else one line naming the bad option
};

// `args` excludes the program name. Accepts "--name value" and "--name=value".
ParseResult ParseOptions(const std::vector<std::string>& args);

// The options with every path (world file, root, plugin, journal, log file) made absolute
// against `base`, the server's starting directory: a command that moves the process's current
// directory later on moves none of them.
ServerOptions WithAbsolutePaths(ServerOptions options, const std::filesystem::path& base);

// The text of --help.
std::string UsageText();

}  // namespace server
