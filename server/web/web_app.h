// WebApp: the web console's requests and their answers, apart from the HTTP library, so that
// tests and the fuzzer drive it directly. It serves the built-in pages, logs in (the same
// passwords or accounts as RCON, through the same LoginGuard, so a guess counts the same either
// way), keeps sessions (cookie HttpOnly, SameSite=Strict, with an end), and lets nothing act
// without a live session and, for what acts (POST), the session's CSRF token in X-CSRF-Token.
// Routes:
//   GET  /, /static/NAME     the pages
//   POST /api/login          {"password": P} -> {"account", "csrf"} and the session cookie
//   GET  /api/session        {"account", "csrf"} of the cookie's session
//   POST /api/logout         ends the session
//   POST /api/command        {"line": L} -> {"replies": [TEXT...]}
//   GET  /api/map            the map's snapshot (map_data.h)
//   GET  /api/events         the live stream (served by the HTTP side after Authorize)
// Every error is a status with {"error": TEXT}. Thread-safe: any HTTP thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <spdlog/logger.h>

#include "server/accounts/account_store.h"
#include "server/rcon/login_guard.h"
#include "server/web/console_backend.h"
#include "server/web/session_store.h"

namespace server::web {

struct HttpRequest {
  std::string method;
  std::string path;    // without the query
  std::string cookie;  // the Cookie header
  std::string csrf;    // the X-CSRF-Token header
  std::string body;
  std::string address;  // the peer's address, for the login guard
  std::string peer;     // address:port, for the log and the audit lines
  std::string host;     // the Host header
};

struct HttpResponse {
  int status = 200;
  std::string content_type = "application/json";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

// The largest request body taken; a larger one is answered 413.
inline constexpr std::size_t kMaxRequestBody = 64u << 10;
// The longest command line taken.
inline constexpr std::size_t kMaxLineBytes = 16u << 10;
inline constexpr std::string_view kSessionCookie = "orvane_session";

class WebApp {
 public:
  struct Options {
    std::shared_ptr<rcon::LoginGuard> guard;
    std::shared_ptr<const accounts::AccountStore> accounts;
    SessionStore::Limits sessions;
    std::function<Clock::time_point()> now = [] { return Clock::now(); };
    // Waits for a login's turn to be checked (see LoginGuard::ReserveTurn).
    std::function<void(Clock::duration)> sleep;
    std::shared_ptr<spdlog::logger> log;  // none: nothing is logged
    // The host names (lower case, without the port) a request may name in its Host header;
    // empty: any. A console bound to a loopback address takes only loopback names, so that a
    // web page elsewhere cannot reach it under a name of its own (DNS rebinding).
    std::vector<std::string> hosts;
  };
  // REQUIRES: `backend` outlives the app.
  WebApp(Options options, ConsoleBackend& backend);

  HttpResponse Handle(const HttpRequest& request);
  // The live session that `request`'s cookie names, or null with `error` set.
  std::shared_ptr<const WebSession> Authorize(const HttpRequest& request, HttpResponse& error);

 private:
  bool HostAllowed(const HttpRequest& request, HttpResponse& error) const;
  HttpResponse Login(const HttpRequest& request);
  HttpResponse Logout(const HttpRequest& request);
  HttpResponse Command(const WebSession& session, const HttpRequest& request);

  Options options_;
  ConsoleBackend& backend_;
  SessionStore sessions_;
};

// The value of the session cookie in a Cookie header, or empty.
std::string SessionToken(std::string_view cookie_header);

}  // namespace server::web
