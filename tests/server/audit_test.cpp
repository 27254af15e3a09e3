// The audit line: what it names, where a long command line is cut, and that a request cannot
// forge a log line of its own; and the sink that lets a turn's lines leave in one write.
#include "server/audit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include <spdlog/logger.h>

#include "server/held_sink.h"

namespace {

using std::chrono::microseconds;

std::string Text(std::string_view line, std::size_t replies = 1) {
  return server::AuditText({"127.0.0.1:50123", 7, line, replies, microseconds(1500)});
}

TEST(AuditText, NamesSourceIdLineRepliesAndTime) {
  EXPECT_EQ(Text("GetOnlineNum"), "127.0.0.1:50123 #7 \"GetOnlineNum\": 1 reply in 1.500 ms");
  EXPECT_EQ(Text("TribeChatMsg 1 2 hi", 3),
            "127.0.0.1:50123 #7 \"TribeChatMsg 1 2 hi\": 3 replies in 1.500 ms");
  EXPECT_EQ(server::AuditText({"exec", 1, "", 0, {}}), "exec #1 \"\": 0 replies in 0.000 ms");
  EXPECT_EQ(server::AuditText({"rcon a@1.2.3.4:5", 2, "KillDino", 1, {}, true}),
            "rcon a@1.2.3.4:5 #2 \"KillDino\": refused, 1 reply in 0.000 ms");
}

TEST(AuditText, LongLinesAreCutAfter200CharactersKeepingCharactersWhole) {
  const std::string exact(200, 'a');
  EXPECT_EQ(Text(exact), "127.0.0.1:50123 #7 \"" + exact + "\": 1 reply in 1.500 ms");
  EXPECT_EQ(Text(exact + "b"),
            "127.0.0.1:50123 #7 \"" + exact + "\" (cut, 201 characters): 1 reply in 1.500 ms");
  std::string wide;
  for (int i = 0; i < 201; ++i) wide += "\xC3\xA9";  // é: two bytes, one character
  const std::string text = Text(wide);
  EXPECT_NE(text.find("\" (cut, 201 characters)"), std::string::npos) << text;
  EXPECT_EQ(text.find("\xC3\xA9\xC3\xA9\" (cut"), text.find("\" (cut") - 4) << "whole characters";
}

TEST(AuditText, ControlCharactersQuotesAndBackslashesAreEscaped) {
  EXPECT_EQ(Text("a\nb\r\"c\\\x1b"),
            "127.0.0.1:50123 #7 \"a\\x0ab\\x0d\\\"c\\\\\\x1b\": 1 reply in 1.500 ms");
}

// Lines logged while the sink is held reach the file only at the release, with their text and
// in their order among the others; unheld, each line is there once it is logged.
TEST(HeldSink, KeepsLinesWhileHeldAndWritesThemInOrderOnRelease) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("orvane-held-sink-" +
                     std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + ".log");
  auto read = [&] {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  {
    auto sink = std::make_shared<server::HeldSink>(path.string());
    sink->set_pattern("[%n] %v");
    spdlog::logger audit("audit", sink), other("rcon", sink);
    audit.flush_on(spdlog::level::info);
    other.flush_on(spdlog::level::info);
    audit.info("first");
    EXPECT_EQ(read(), "[audit] first\n");
    sink->Hold();
    audit.info("second");
    other.warn("between");
    audit.info("third");
    EXPECT_EQ(read(), "[audit] first\n") << "held";
    sink->Release();
    EXPECT_EQ(read(), "[audit] first\n[audit] second\n[rcon] between\n[audit] third\n");
    audit.info("fourth");
    EXPECT_EQ(read().substr(read().size() - 15), "[audit] fourth\n");
  }
  std::filesystem::remove(path);
}

}  // namespace
