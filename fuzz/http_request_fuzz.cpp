// The web console's request handling (WebApp), fed any request: the input is the method, the
// path, the Cookie header, the X-CSRF-Token header and the body, one a line (the body is the
// rest). In the cookie and token, "$S" stands for a live session's token and "$C" for its CSRF
// token, so that inputs reach what lies behind the guard. Besides the sanitizers' checks, each
// run asserts:
//   - every answer has a status the routes give, and every error a JSON body;
//   - nothing acts (a command runs or a session ends) without the live session's cookie and,
//     exactly, its CSRF token.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "fuzz/invariant.h"
#include "server/web/web_app.h"

namespace {

using namespace server::web;
using namespace std::chrono_literals;

using fuzz::Check;

class Backend final : public ConsoleBackend {
 public:
  Outcome Run(const WebSession&, std::string) override {
    ++acted;
    return {Status::kDone, {"done"}};
  }
  std::optional<std::string> MapSnapshot() override { return std::string(8, '\0'); }
  void Ended(uint64_t) override { ++acted; }
  int acted = 0;
};

std::string_view Line(std::string_view& rest) {
  const auto end = rest.find('\n');
  const std::string_view line = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return line;
}

std::string Replace(std::string_view text, std::string_view marker, const std::string& value) {
  std::string out;
  for (std::size_t at = 0;;) {
    const auto found = text.find(marker, at);
    out.append(text.substr(at, found - at));
    if (found == std::string_view::npos) return out;
    out += value;
    at = found + marker.size();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const auto accounts = std::make_shared<server::accounts::AccountStore>(
      server::accounts::Accounts::SinglePassword("pw"));
  Backend backend;
  auto now = Clock::time_point() + 1h;
  WebApp app({std::make_shared<server::rcon::LoginGuard>(
                  server::rcon::LoginGuard::Limits{3, 30s, 300s, 0}),
              accounts,
              {2, 1h},
              [&now] { return now; },
              nullptr,
              nullptr},
             backend);
  const HttpResponse login =
      app.Handle({"POST", "/api/login", "", "", R"({"password":"pw"})", "10.0.0.1", ""});
  Check(login.status == 200, "the right password logs in");
  const std::string cookie = login.headers.at(0).second;
  const std::string token = cookie.substr(cookie.find('=') + 1, 64);
  const std::string csrf = nlohmann::json::parse(login.body)["csrf"];

  std::string_view rest(reinterpret_cast<const char*>(data), size);
  HttpRequest request;
  request.method = Line(rest);
  request.path = Line(rest);
  request.cookie = Replace(Line(rest), "$S", token);
  request.csrf = Replace(Line(rest), "$C", csrf);
  request.body = rest;
  request.address = "10.0.0.2";
  now += 1s;
  const HttpResponse r = app.Handle(request);

  static constexpr int kStatuses[] = {200, 400, 401, 403, 404, 405, 413, 429, 503};
  Check(std::find(std::begin(kStatuses), std::end(kStatuses), r.status) != std::end(kStatuses),
        "a status the routes give");
  if (r.status != 200)
    Check(!nlohmann::json::parse(r.body, nullptr, false).is_discarded(), "errors are JSON");
  if (backend.acted > 0)
    Check(request.method == "POST" && SessionToken(request.cookie) == token && request.csrf == csrf,
          "nothing acts without the session and its token");
  return 0;
}
