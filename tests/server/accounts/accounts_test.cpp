#include "server/accounts/accounts.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "server/accounts/password_hash.h"

namespace server::accounts {
namespace {

using nlohmann::json;

const std::string kAlice = HashPassword("alice-pw", HashCost::kLowest);
const std::string kBob = HashPassword("bob-pw", HashCost::kLowest);

json Account(std::string name, std::string hash, json allow, json deny = json::array()) {
  return {{"name", name}, {"password_hash", hash}, {"allow", allow}, {"deny", deny}};
}

std::shared_ptr<const Accounts> Parse(const std::vector<json>& accounts) {
  return Accounts::Parse(json{{"accounts", accounts}}.dump(), "a.json");
}

TEST(Accounts, BadFilesNameThePlaceAndTheRule) {
  std::string costly = kAlice;
  costly.replace(costly.find("m=8,"), 4, "m=1048576,");
  json extra_key = Account("a", kAlice, {"*"});
  extra_key["role"] = "admin";
  const struct {
    std::string text;
    std::string error;
  } cases[] = {
      {"{\"accounts\": [", "a.json: line 1 column 15: not valid JSON"},
      {"[]", "a.json: the file: must be an object"},
      {R"({"accounts": [], "x": 1})", "a.json: the file: unknown key \"x\""},
      {R"({"accounts": []})", "a.json: the file: \"accounts\" must be a list of at least one"},
      {json{{"accounts", {extra_key}}}.dump(), "a.json: accounts[0]: unknown key \"role\""},
      {R"({"accounts": [{"name": "a", "name": "b"}]})", "a.json: accounts[0]: key \"name\" given"},
      {json{{"accounts", {Account("", kAlice, {"*"})}}}.dump(), "accounts[0].name: a name is 1"},
      {json{{"accounts", {Account("a\nrcon b", kAlice, {"*"})}}}.dump(),
       "accounts[0].name: a name is 1"},
      {json{{"accounts", {Account("a", kAlice, {"*"}), Account("A", kBob, {"*"})}}}.dump(),
       "accounts[1].name: the name \"A\" is also accounts[0]'s"},
      {json{{"accounts", {Account("a", "secret", {"*"})}}}.dump(),
       "accounts[0].password_hash: not a password hash"},
      {json{{"accounts", {Account("a", costly, {"*"})}}}.dump(),
       "accounts[0].password_hash: the hash costs more than a login may"},
      {json{{"accounts", {Account("a", kAlice, {"*"}), Account("b", kAlice, {"*"})}}}.dump(),
       "accounts[1].password_hash: the same hash as accounts[0]'s"},
      {json{{"accounts", {{{"name", "a"}, {"password_hash", kAlice}}}}}.dump(),
       "accounts[0]: \"allow\" is required"},
      {json{{"accounts", {Account("a", kAlice, {"*"}, {"KillDino", "kill*"})}}}.dump(),
       "accounts[0].deny[1]: unknown pattern \"kill*\""},
  };
  for (const auto& c : cases) {
    try {
      Accounts::Parse(c.text, "a.json");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const AccountsError& e) {
      EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos)
          << c.text << "\n gave: " << e.what();
    }
  }
  EXPECT_THROW(Accounts::Load("/nonexistent/accounts.json"), AccountsError);
}

TEST(Accounts, PatternsMatchNamesGroupsAndAllDenyWinning) {
  const auto accounts = Parse({
      Account("helper", kAlice, {"messaging", "kickallplayers", "emu.STATE"}),
      Account("admin", kBob, {"*"}, {"destruction", "emu.plugin"}),
  });
  const auto helper = accounts->Authenticate("alice-pw");
  const auto admin = accounts->Authenticate("bob-pw");
  ASSERT_TRUE(helper && admin);
  const struct {
    std::string command;
    bool helper, admin;
  } cases[] = {
      {"SendMessageToChat", true, true}, {"tribechatmsg", true, true},
      {"KickAllPlayers", true, false},   {"KillDino", false, true},
      {"DestroyTribeAll", false, false}, {"emu.state", true, true},
      {"EMU.PLUGIN", false, false},      {"NoSuchCommand", false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(helper->Allowed(c.command), c.helper) << "helper " << c.command;
    EXPECT_EQ(admin->Allowed(c.command), c.admin) << "admin " << c.command;
  }
  const auto locked = Parse({Account("x", kAlice, {"*"}, {"*"})})->Authenticate("alice-pw");
  EXPECT_FALSE(locked->Allowed("GetOnlineNum") || locked->Allowed("NoSuchCommand"));
}

TEST(Accounts, PasswordFindsOneAccountOrNone) {
  const auto accounts = Parse({Account("alice", kAlice, {"*"}), Account("bob", kBob, {"*"})});
  EXPECT_EQ(accounts->Authenticate("bob-pw")->name(), "bob");
  EXPECT_EQ(accounts->Authenticate("bob-pw "), nullptr);
  EXPECT_EQ(accounts->Authenticate(""), nullptr);
  // Two hashes of one password (different salts) pass the load but log into neither.
  const auto shared = Parse({Account("a", kAlice, {"*"}),
                             Account("b", HashPassword("alice-pw", HashCost::kLowest), {"*"})});
  EXPECT_EQ(shared->Authenticate("alice-pw"), nullptr);

  const auto single = Accounts::SinglePassword("pw");
  EXPECT_EQ(single->Authenticate("pw")->name(), "");
  for (const char* wrong : {"", "p", "PW", "pw ", "pwpw"})
    EXPECT_EQ(single->Authenticate(wrong), nullptr) << wrong;
  EXPECT_TRUE(single->Authenticate("pw")->Allowed("emu.plugin"));
}

}  // namespace
}  // namespace server::accounts
