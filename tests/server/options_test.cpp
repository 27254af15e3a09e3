#include "server/options.h"

#include <gtest/gtest.h>

#include <sstream>

namespace server {
namespace {

using namespace std::chrono_literals;

TEST(ServerOptions, DefaultsAreTheDocumentedOnes) {
  const ParseResult r = ParseOptions({});
  ASSERT_EQ(r.error, "");
  EXPECT_FALSE(r.options.world_file);
  EXPECT_EQ(r.options.world_max_bytes, 256u << 20);
  EXPECT_FALSE(r.options.no_audit);
  EXPECT_EQ(r.options.root, "./server-root");
  EXPECT_FALSE(r.options.plugin);
  EXPECT_FALSE(r.options.rcon_password);
  EXPECT_EQ(r.options.timer_period, 1000ms);
  EXPECT_FALSE(r.options.rcon.reserved_slots) << "a quarter of the connections";
}

TEST(ServerOptions, EveryOptionIsTaken) {
  // Values with spaces are given apart; every other word is one argument. Numbers at the
  // edges of their ranges are taken.
  std::vector<std::string> args = {"--rcon-password", "a b", "--exec=ListOnlinePlayers x"};
  std::istringstream words(
      "--world w.json --world-max-bytes=1000 --no-audit --root=/srv/r --plugin p.so --bind "
      "0.0.0.0 --rcon-port 65535 --no-rcon --serve --timer-ms 1 --journal j --log-file l "
      "--rcon-max-connections 3 --rcon-idle-timeout-ms 0 --rcon-login-failures 2 "
      "--rcon-login-window-ms 100 --rcon-lockout-ms 0 --rcon-login-failures-per-second=0 "
      "--rcon-auth-gap-ms 0 --rcon-reserved-slots=1 --rcon-max-per-address=2 "
      "--rcon-login-deadline-ms=300 --rcon-max-packet-size=8192 --rcon-max-queued=5 "
      "--rcon-max-unread-bytes=65536 --exec GetOnlineNum");
  for (std::string word; words >> word;) args.push_back(word);
  const ParseResult r = ParseOptions(args);
  ASSERT_EQ(r.error, "");
  const ServerOptions& o = r.options;
  EXPECT_EQ(o.world_file, "w.json");
  EXPECT_EQ(o.world_max_bytes, 1000u);
  EXPECT_TRUE(o.no_audit);
  EXPECT_EQ(o.root, "/srv/r");
  EXPECT_EQ(o.plugin, "p.so");
  EXPECT_EQ(o.rcon.bind_address, "0.0.0.0");
  EXPECT_EQ(o.rcon.port, 65535);
  EXPECT_EQ(o.rcon_password, "a b");
  EXPECT_TRUE(o.no_rcon);
  EXPECT_EQ(o.exec_lines, (std::vector<std::string>{"ListOnlinePlayers x", "GetOnlineNum"}));
  EXPECT_TRUE(o.serve);
  EXPECT_EQ(o.timer_period, 1ms);
  EXPECT_EQ(o.journal_file, "j");
  EXPECT_EQ(o.log_file, "l");
  const rcon::ListenerOptions& l = o.rcon;
  EXPECT_EQ(l.max_connections, 3);
  EXPECT_EQ(l.idle_timeout, 0ms);
  EXPECT_EQ(l.login_limits.max_failures, 2);
  EXPECT_EQ(l.login_limits.window, 100ms);
  EXPECT_EQ(l.login_limits.lockout, 0ms);
  EXPECT_EQ(l.login_limits.failures_per_second, 0);
  EXPECT_EQ(l.auth_reply_gap, 0ms);
  EXPECT_EQ(l.reserved_slots, 1);
  EXPECT_EQ(l.max_per_address, 2);
  EXPECT_EQ(l.login_deadline, 300ms);
  EXPECT_EQ(l.max_packet_size, 8192);
  EXPECT_EQ(l.max_queued_requests, 5u);
  EXPECT_EQ(l.max_unread_bytes, 65536u);
}

TEST(ServerOptions, ExecValueMayLookLikeAnOption) {
  const ParseResult r = ParseOptions({"--exec", "--serve"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.exec_lines, std::vector<std::string>{"--serve"});
  EXPECT_FALSE(r.options.serve);
}

TEST(ServerOptions, BadCommandLinesNameTheirProblem) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  for (const Case& c : std::vector<Case>{
           {{"--bogus"}, "unknown option --bogus"},
           {{"world.json"}, "unknown option world.json"},
           {{"--world"}, "option --world needs a value"},
           {{"--serve=yes"}, "option --serve takes no value"},
           {{"--rcon-port", "65536"}, "bad value for --rcon-port: \"65536\""},
           {{"--rcon-port", "-1"}, "bad value for --rcon-port: \"-1\""},
           {{"--timer-ms", "0"}, "bad value for --timer-ms: \"0\""},
           {{"--timer-ms", "10x"}, "bad value for --timer-ms: \"10x\""},
           {{"--rcon-max-connections", ""}, "bad value for --rcon-max-connections: \"\""},
           {{"--world-max-bytes", "0"}, "bad value for --world-max-bytes: \"0\""},
           {{"--rcon-password", ""},
            "--rcon-password cannot be empty (leave it out for a random password)"},
           {{"--rcon-password="},
            "--rcon-password cannot be empty (leave it out for a random password)"},
           {{"--rcon-max-packet-size", "9"}, "bad value for --rcon-max-packet-size: \"9\""},
           {{"--rcon-max-unread-bytes", "100"}, "bad value for --rcon-max-unread-bytes: \"100\""},
           {{"--rcon-max-connections", "4", "--rcon-reserved-slots", "4"},
            "--rcon-reserved-slots must be below --rcon-max-connections (4)"},
           {{"--accounts", "a.json", "--rcon-password", "pw"},
            "--rcon-password and --accounts exclude each other: with accounts, each account's "
            "password logs in"},
       }) {
    EXPECT_EQ(ParseOptions(c.args).error, c.error) << testing::PrintToString(c.args);
  }
}

TEST(ServerOptions, PathsAreMadeAbsoluteAgainstTheStartingDirectory) {
  const ParseResult r = ParseOptions({"--world", "worlds/w.json", "--plugin", "/opt/p.so",
                                      "--journal", "../j.jsonl", "--log-file", "s.log"});
  ASSERT_EQ(r.error, "");
  const ServerOptions o = WithAbsolutePaths(r.options, "/srv/start");
  EXPECT_EQ(o.world_file, "/srv/start/worlds/w.json");
  EXPECT_EQ(o.root, "/srv/start/server-root");
  EXPECT_EQ(o.plugin, "/opt/p.so") << "absolute paths stay";
  EXPECT_EQ(o.journal_file, "/srv/j.jsonl");
  EXPECT_EQ(o.log_file, "/srv/start/s.log");
  EXPECT_FALSE(WithAbsolutePaths(ParseOptions({}).options, "/srv").world_file)
      << "an unset path stays unset";
}

}  // namespace
}  // namespace server
