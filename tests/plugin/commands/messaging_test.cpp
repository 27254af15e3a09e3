// Messaging and script commands, dispatched through the loaded plugin on a world of the test's.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tests/support/command_test.h"

namespace {

using Strings = std::vector<std::string>;
using nlohmann::json;

const std::string kChat(sym::AShooterPlayerController::ClientChatMessage.name);
const std::string kNotification(sym::AShooterPlayerController::ClientServerNotification.name);
const std::string kDirect(sym::AShooterPlayerController::ClientServerChatDirectMessage.name);
const std::string kScript(sym::UShooterCheatManager::ScriptCommand.name);

json Player(const std::string& eos, int tribe, json extra = {}) {
  json player = {{"eos_id", eos}, {"character_name", eos}, {"team", tribe}};
  if (extra.is_object()) player.update(extra);
  return player;
}

// Tribe 1000001 has three members online (e1, e2, e3), one gone (e4, stale) and one without a
// player state (e5); e6 belongs to tribe 1000002 and has no cheat manager.
std::string MessagingWorld() {
  return json{
      {"tribes",
       {{{"id", 1000001}, {"name", "Night Owls"}}, {{"id", 1000002}, {"name", "Ghosts"}}}},
      {"players",
       {Player("e1", 1000001), Player("e2", 1000001), Player("e3", 1000001),
        Player("e4", 1000001, {{"stale", true}}), Player("e5", 1000001, {{"player_state", false}}),
        Player("e6", 1000002, {{"cheat_manager", false}})}}}
      .dump();
}

class Messaging : public support::CommandTest {
 protected:
  Messaging() : CommandTest(MessagingWorld()) {}

  // The first argument of every journaled call of `fn`, and who received it.
  std::vector<std::pair<std::string, json>> Calls(std::string_view fn) {
    std::vector<std::pair<std::string, json>> calls;
    for (const json& line : world().JournalOf(fn)) calls.emplace_back(line["self"], line["args"]);
    world().ClearJournal();
    return calls;
  }
  // The message texts of the chat lines sent by the last request.
  Strings ChatTexts() {
    Strings texts;
    for (const auto& [self, args] : Calls(kChat)) texts.push_back(args[0][4]);
    return texts;
  }
};

TEST_F(Messaging, ChatTextStartsAfterTheSpaceThatFollowsTheSender) {
  EXPECT_EQ(Replies(u"SendMessageToChat Admin  hello   all"), Strings{"Message sent!"});
  EXPECT_EQ(ChatTexts(), Strings(5, " hello   all")) << "one leading space kept";
  Replies(u"sendMESSAGEtochat Admin hi");
  EXPECT_EQ(ChatTexts(), Strings(5, "hi")) << "the command name matches in any letter case";
  Replies(u"SendMessageToChat  Admin hi");
  EXPECT_EQ(ChatTexts(), Strings(5, "SendMessageToChat  Admin hi"))
      << "two spaces after the name: the prefix is not found, the whole body goes out";
}

TEST_F(Messaging, ChatRecordCarriesEveryFieldToEachLivePlayer) {
  Replies(u"SendMessageToChat Admin hi");
  const auto calls = Calls(kChat);
  ASSERT_EQ(calls.size(), 5u) << "the stale entry is skipped, the walk goes on";
  EXPECT_EQ(calls[1].second, json::array({json::array({"Admin", "", "", 0, "hi", "", 0, 0.0, 0, 0,
                                                       0, nullptr, 1, "e2"})}));
  EXPECT_EQ(world().State()["players"][1]["inbox"],
            json::parse(R"([{"kind": "chat", "sender": "Admin", "sender_account": "",
                "sender_tribe": "", "sender_id": 0, "text": "hi", "receiver": "",
                "sender_team": 0, "received_time": 0.0, "send_mode": 0, "radio_frequency": 0,
                "chat_type": 0, "sender_icon": null, "from_server": 1, "user_id": "e2"}])"));
}

TEST_F(Messaging, NotificationKeepsTheSpaceAfterTheCommandName) {
  EXPECT_EQ(Replies(u"SendMessageToNotification Restart"), Strings{"Message sent!"});
  const auto calls = Calls(kNotification);
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(world().State()["players"][0]["inbox"],
            json::parse(R"([{"kind": "notification", "text": " Restart", "colour": [1, 0, 0, 1],
                "scale": 2.0, "seconds": 20.0, "icon": null, "sound": null, "priority": 1}])"));
}

TEST_F(Messaging, RepliesWithNobodyOrOnlyAStaleEntryOnline) {
  ExpectRepliesOnWorlds({
      // Chat and notification are still sent; nobody to log or chat for.
      {R"({"players": []})",
       {{u"SendMessageToChat Admin hi", {"Message sent!"}},
        {u"SendMessageToNotification hi", {"Message sent!"}},
        {u"TribeLogMsg 1000001 hi", {}},
        {u"TribeChatMsg 1 1000001 hi", {}}}},
      // A stale entry still counts as a player for the tribe log.
      {json{{"players", {Player("e1", 1, {{"stale", true}})}}}.dump(),
       {{u"TribeLogMsg 1 hi", {"Successfully sent"}}}},
  });
}

TEST_F(Messaging, TribeChatRepliesOncePerMemberOnline) {
  EXPECT_EQ(Replies(u"TribeChatMsg 1 1000001  hi  there"), Strings(3, "Successfully sent"));
  const auto calls = Calls(kDirect);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[2].first, "controller:e3");
  EXPECT_EQ(world().State()["players"][2]["inbox"],
            json::parse(R"([{"kind": "direct", "text": "  hi  there", "colour": [1, 1, 0, 1],
                "bold": false, "sender": ""}])"));
  EXPECT_EQ(Replies(u"TribeChatMsg 4 1000002 hi"), Strings{"Successfully sent"});
  EXPECT_EQ(Calls(kDirect).size(), 1u);
  EXPECT_EQ(Replies(u"TribeChatMsg 1 5 hi"), Strings{}) << "no member online";
}

TEST_F(Messaging, TribeChatTypesAndTribeLog) {
  Replies(u"TribeChatMsg 01 1000002 hi");
  ASSERT_EQ(Calls(kDirect).at(0).second[0], "TribeChatMsg 01 1000002 hi")
      << "01 is type 1, but the prefix built from 1 is not in the body";
  ExpectReplies({
      {u"TribeChatMsg 2 1000001 hi", Strings(3, "Successfully sent")},
      {u"TribeChatMsg 3 1000001 hi", Strings(3, "Successfully sent")},
      {u"TribeChatMsg 7 1000001 hi", {}},
      {u"TribeChatMsg 0 1000001 hi", {}},
      {u"TribeChatMsg 1 0 hi", {"Wrong tribe id"}},
      {u"TribeChatMsg one 1000001 hi", {"Request has failed"}},
      // The tribe log only acknowledges.
      {u"TribeLogMsg 1000001 a wall was built", {"Successfully sent"}},
      {u"TribeLogMsg x hi", {"Request has failed"}},
  });
  EXPECT_TRUE(Calls(kDirect).empty()) << "only types 1 and 4 deliver";
}

TEST_F(Messaging, PlayerScriptCommandRunsTheRestOfTheBodyAsThePlayer) {
  ExpectReplies({
      {u"SendPlayerScriptCommand nobody x", {"Can't find player from the given eos id"}},
      {u"SendPlayerScriptCommand e6 x", {"Can't find the player's cheat manager"}},
      {u"SendPlayerScriptCommand e2 give  item e2", {"Successfully executed"}},
  });
  const auto calls = Calls(kScript);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, "cheatmanager:e2");
  EXPECT_EQ(calls[0].second, json{" give  item e2"}) << "only the name and id are cut";
  EXPECT_EQ(world().State()["players"][1]["script_commands"], json{" give  item e2"});
}

TEST_F(Messaging, ServerScriptCommandRunsOnlyTheFirstWord) {
  EXPECT_EQ(Replies(u"SendScriptCommand  broadcast  all now"), Strings{"Successfully executed"});
  const auto calls = Calls(kScript);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].first, "cheatmanager:server");
  EXPECT_EQ(calls[0].second, json{"broadcast"});
  EXPECT_EQ(world().State()["script_commands"], json{"broadcast"});
}

}  // namespace
