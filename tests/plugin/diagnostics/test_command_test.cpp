// "TestCommand", dispatched through the loaded plugin (each test loads it afresh, so the
// values start at 50000 and 1000): what it logs, in order, and that it answers nobody.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;

const char kStarted[] = "info: ################ Stress Test Started ################";
const char kEnded[] = "info: ################ Stress Test Ended ################";
const Strings kNames = {"TArray", "Unordered_map", "map", "vector", "list", "set", "deque"};

class TestCommand : public support::CommandTest {
 protected:
  TestCommand() : CommandTest("{}") {}

  // Runs the line and gives the plugin's log lines as "level: text", times replaced by "#ms".
  Strings Run(const std::u16string& line) {
    world().host().log().Clear();
    EXPECT_TRUE(world().Dispatch(line).empty()) << "the client gets no reply";
    static const std::regex kPrefix(R"(^.*\[Orvane\]\[(\w+)\] ?)");
    static const std::regex kTime(R"(\d+ms)");
    Strings lines;
    for (const std::string& line : world().host().log().lines()) {
      std::smatch prefix;
      if (!std::regex_search(line, prefix, kPrefix)) continue;
      lines.push_back(prefix[1].str() + ": " +
                      std::regex_replace(prefix.suffix().str(), kTime, "#ms"));
    }
    return lines;
  }
};

// The lines of a whole run: `values_line`, then each phase, with not-found lines when
// `found` is false.
Strings WholeRun(const std::string& values_line, bool found) {
  Strings lines = {kStarted, "info: " + values_line,
                   "info: ", "info: ######## Add Summery: ########"};
  for (const std::string& name : kNames) lines.push_back("info: " + name + ": #ms");
  lines.insert(lines.end(), {"info: ", "info: "});
  if (!found)
    for (const std::string& name : kNames)
      lines.push_back("error: Value not found for " + name + "!");
  lines.push_back("info: ######## Search Summery: ########");
  for (const std::string& name : kNames) lines.push_back("info: " + name + ": #ms");
  lines.insert(lines.end(), {"info: ", "info: Total Stress Summery #ms", kEnded});
  return lines;
}

TEST_F(TestCommand, DefaultRunRightAfterLoadingFindsTheValue) {
  EXPECT_EQ(Run(u"TestCommand"), WholeRun("(Stress Test Started with default values)", true));
  // Search times are logged in units of 100 seconds.
  const Strings raw = world().host().log().lines();
  auto search = std::find_if(raw.begin(), raw.end(), [](const std::string& line) {
    return line.ends_with("######## Search Summery: ########");
  });
  ASSERT_LT(search + 7, raw.end());
  for (std::size_t i = 0; i < kNames.size(); ++i)
    EXPECT_TRUE(search[i + 1].ends_with("] " + kNames[i] + ": 0ms")) << search[i + 1];
}

TEST_F(TestCommand, ValuesGivenOnceAreKept) {
  const std::string values = "(Stress Test Values: value_to_stress: 10 - value_to_find: 20)";
  EXPECT_EQ(Run(u"TestCommand 10 20 30"), WholeRun(values, false));
  EXPECT_EQ(Run(u"TestCommand 7"), WholeRun(values, false)) << "one argument is ignored";
  EXPECT_EQ(Run(u"TestCommand"), WholeRun("(Stress Test Started with default values)", false))
      << "still 10 and 20";
  EXPECT_EQ(Run(u"TestCommand 10 9"),
            WholeRun("(Stress Test Values: value_to_stress: 10 - value_to_find: 9)", true));
  EXPECT_EQ(Run(u"TestCommand 0 0"),
            WholeRun("(Stress Test Values: value_to_stress: 0 - value_to_find: 0)", false));
}

TEST_F(TestCommand, ABadWordEndsTheRunAfterTheStartedLine) {
  EXPECT_EQ(Run(u"TestCommand x 5"), (Strings{kStarted, "error: invalid stoi argument"}));
  EXPECT_EQ(Run(u"TestCommand 5 99999999999"),
            (Strings{kStarted, "error: stoi argument out of range"}));
  // The 5 read before the failure stays, and value_to_find is back at 49999.
  EXPECT_EQ(Run(u"TestCommand 1"),
            WholeRun("(Stress Test Values: value_to_stress: 5 - value_to_find: 49999)", false));
}

TEST_F(TestCommand, AValueTooLargeToHoldIsRefusedEveryTime) {
  const Strings refused = {
      kStarted,
      "error: Stress Test refused: value_to_stress 5000001 is above the limit of 5000000 "
      "(about 850 MB for the seven containers)"};
  EXPECT_EQ(Run(u"TestCommand 5000001 1"), refused);
  EXPECT_EQ(Run(u"TestCommand"), refused) << "the stored value is refused again";
  EXPECT_EQ(Replies(u"GetOnlineNum"), Strings{"0"}) << "the server still answers";
}

}  // namespace
