#include "server/web/web_app.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "server/options.h"

namespace server::web {
namespace {

using namespace std::chrono_literals;

class CountingBackend final : public ConsoleBackend {
 public:
  Outcome Run(const WebSession&, std::string line) override {
    lines.push_back(std::move(line));
    return {Status::kDone, {"ok"}};
  }
  std::optional<std::string> MapSnapshot() override { return "map"; }
  void Ended(uint64_t session) override { ended.push_back(session); }
  std::vector<std::string> lines;
  std::vector<uint64_t> ended;
};

class WebAppTest : public testing::Test {
 protected:
  WebApp MakeApp(std::size_t max_sessions = 16) {
    return WebApp(
        {guard_, accounts_, {max_sessions, 1h}, [this] { return now_; }, nullptr, nullptr},
        backend_);
  }
  // The cookie header and CSRF token of a fresh login.
  std::pair<std::string, std::string> LogIn(WebApp& app, int expected = 200) {
    const HttpResponse r = app.Handle(
        {"POST", "/api/login", "", "", R"({"password":"pw"})", "10.0.0.1", "10.0.0.1:5"});
    EXPECT_EQ(r.status, expected) << r.body;
    if (r.status != 200) return {};
    const std::string cookie = r.headers.at(0).second;
    EXPECT_NE(cookie.find("; HttpOnly; SameSite=Strict; Max-Age=3600"), std::string::npos);
    return {cookie.substr(0, cookie.find(';')), nlohmann::json::parse(r.body)["csrf"]};
  }

  std::shared_ptr<rcon::LoginGuard> guard_ =
      std::make_shared<rcon::LoginGuard>(rcon::LoginGuard::Limits{3, 30s, 300s, 0});
  std::shared_ptr<accounts::AccountStore> accounts_ =
      std::make_shared<accounts::AccountStore>(accounts::Accounts::SinglePassword("pw"));
  CountingBackend backend_;
  Clock::time_point now_ = Clock::time_point() + 1h;
};

TEST_F(WebAppTest, NothingActsWithoutTheSessionAndItsToken) {
  WebApp app = MakeApp();
  const auto [cookie, csrf] = LogIn(app);
  const std::string line = R"({"line":"KillDino 1 2"})";
  struct Case {
    std::string method, path, cookie, csrf, body;
    int status;
  };
  // The cookie among others; tokens that differ in one place (the HTTP test has the rest).
  for (const Case& c : std::vector<Case>{
           {"POST", "/api/command", "other=1; " + cookie, "", line, 403},
           {"POST", "/api/command", cookie, csrf.substr(1) + "x", line, 403},
           {"POST", "/api/command", cookie.substr(0, cookie.size() - 1) + "x", csrf, line, 401},
           {"POST", "/api/command", cookie, csrf, R"(["KillDino"])", 400},
           {"DELETE", "/api/session", cookie, csrf, "", 405},
           {"POST", "/api/command", "a=b;" + cookie, csrf, line, 200},
       }) {
    const HttpResponse r = app.Handle({c.method, c.path, c.cookie, c.csrf, c.body, "10.0.0.1", ""});
    EXPECT_EQ(r.status, c.status) << c.method << " " << c.path << " cookie=" << c.cookie
                                  << " csrf=" << c.csrf << " body=" << c.body.substr(0, 40);
  }
  EXPECT_EQ(backend_.lines, std::vector<std::string>{"KillDino 1 2"}) << "only the last one acts";

  EXPECT_EQ(app.Handle({"POST", "/api/logout", cookie, csrf, "{}", "", ""}).status, 200);
  EXPECT_EQ(backend_.ended.size(), 1u);
  EXPECT_EQ(app.Handle({"GET", "/api/session", cookie, "", "", "", ""}).status, 401)
      << "a session ends at logout";
}

TEST_F(WebAppTest, SessionsAreCappedAndEnd) {
  WebApp app = MakeApp(2);
  const auto first = LogIn(app);
  LogIn(app);
  LogIn(app, 503);
  now_ += 1h;  // both end
  EXPECT_EQ(app.Handle({"GET", "/api/session", first.first, "", "", "", ""}).status, 401);
  LogIn(app);
  EXPECT_EQ(backend_.ended.size(), 2u) << "the ended sessions are forgotten at the next login";
}

TEST_F(WebAppTest, FailuresCountWithTheOtherWaysInAndLockTheAddressOut) {
  WebApp app = MakeApp();
  guard_->RecordFailure("10.0.0.1", now_);  // say, a wrong RCON password
  for (int status : {401, 401})
    EXPECT_EQ(
        app.Handle({"POST", "/api/login", "", "", R"({"password":"no"})", "10.0.0.1", ""}).status,
        status);
  LogIn(app, 429);  // even the right password, until the lockout ends
  now_ += 301s;
  LogIn(app);
}

TEST(WebOptions, PortAndAddress) {
  const ParseResult r = ParseOptions({"--web-port", "8080", "--web-bind=0.0.0.0"});
  ASSERT_EQ(r.error, "");
  EXPECT_EQ(r.options.web_port, 8080);
  EXPECT_EQ(r.options.web_bind, "0.0.0.0");
  EXPECT_FALSE(ParseOptions({}).options.web_port) << "off unless asked for";
  EXPECT_EQ(ParseOptions({"--web-port", "65536"}).error, "bad value for --web-port: \"65536\"");
  EXPECT_EQ(ParseOptions({"--web-bind", "::1"}).error,
            "--web-bind needs --web-port (the web console is off without it)");
}

}  // namespace
}  // namespace server::web
