#include "server/web/web_app.h"

#include <algorithm>
#include <chrono>

#include <nlohmann/json.hpp>

#include "server/ascii_case.h"
#include "server/web/static_files.h"

namespace server::web {
namespace {

using Json = nlohmann::json;

std::string JsonText(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

HttpResponse Error(int status, std::string_view message) {
  return {status, "application/json", JsonText({{"error", message}}), {}};
}

HttpResponse Ok(const Json& value) { return {200, "application/json", JsonText(value), {}}; }

long long Seconds(Clock::duration d) { return std::chrono::ceil<std::chrono::seconds>(d).count(); }

// The request's JSON object with a string field `name`, or an error.
std::optional<std::string> StringField(const HttpRequest& request, const char* name,
                                       HttpResponse& error) {
  const Json body = Json::parse(request.body, nullptr, false);
  if (body.is_discarded()) {
    error = Error(400, "the body is not JSON");
    return std::nullopt;
  }
  if (!body.is_object() || !body.contains(name) || !(*body.find(name)).is_string()) {
    error =
        Error(400, std::string("the body must be a JSON object with a string \"") + name + "\"");
    return std::nullopt;
  }
  return body[name].get<std::string>();
}

HttpResponse StaticPage(std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos ||
      name.find('\\') != std::string_view::npos || name.find("..") != std::string_view::npos ||
      name.find('\0') != std::string_view::npos)
    return Error(400, "bad file name");
  const StaticFile* file = FindStaticFile(name);
  if (file == nullptr) return Error(404, "no such file");
  return {200, std::string(file->content_type), std::string(file->body), {}};
}

// "Example.org:8080" -> "example.org"; "[::1]:80" -> "[::1]".
std::string HostName(std::string_view host) {
  const auto colon = host.rfind(':');
  if (colon != std::string_view::npos && host.find(']', colon) == std::string_view::npos)
    host = host.substr(0, colon);
  return AsciiLower(host);
}

std::string Cookie(std::string_view token, Clock::duration lifetime) {
  return std::string(kSessionCookie) + "=" + std::string(token) +
         "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" + std::to_string(Seconds(lifetime));
}

}  // namespace

std::string SessionToken(std::string_view header) {
  while (!header.empty()) {
    const auto end = header.find(';');
    std::string_view pair = header.substr(0, end);
    header = end == std::string_view::npos ? std::string_view() : header.substr(end + 1);
    while (!pair.empty() && pair.front() == ' ') pair.remove_prefix(1);
    if (pair.starts_with(kSessionCookie) && pair.substr(kSessionCookie.size()).starts_with('='))
      return std::string(pair.substr(kSessionCookie.size() + 1));
  }
  return {};
}

WebApp::WebApp(Options options, ConsoleBackend& backend)
    : options_(std::move(options)), backend_(backend), sessions_(options_.sessions) {}

bool WebApp::HostAllowed(const HttpRequest& request, HttpResponse& error) const {
  const auto& hosts = options_.hosts;
  if (hosts.empty() || std::find(hosts.begin(), hosts.end(), HostName(request.host)) != hosts.end())
    return true;
  error = Error(403, "unexpected Host header: open the console at its own address");
  return false;
}

std::shared_ptr<const WebSession> WebApp::Authorize(const HttpRequest& request,
                                                    HttpResponse& error) {
  if (!HostAllowed(request, error)) return nullptr;
  const std::string token = SessionToken(request.cookie);
  if (token.empty()) {
    error = Error(401, "not logged in");
    return nullptr;
  }
  auto session = sessions_.Find(token, options_.now());
  if (!session) error = Error(401, "the session has ended or never was; log in again");
  return session;
}

HttpResponse WebApp::Handle(const HttpRequest& request) {
  if (request.body.size() > kMaxRequestBody) return Error(413, "the body is too large");
  if (HttpResponse error; !HostAllowed(request, error)) return error;
  const std::string_view path = request.path;
  const bool get = request.method == "GET" || request.method == "HEAD";
  const bool post = request.method == "POST";
  if (get && path == "/") return StaticPage("index.html");
  if (get && path.starts_with("/static/")) return StaticPage(path.substr(8));
  if (post && path == "/api/login") return Login(request);

  const bool api = path == "/api/session" || path == "/api/logout" || path == "/api/command" ||
                   path == "/api/map" || path == "/api/events";
  if (!api) return Error(404, "no such page");
  const bool acts = path == "/api/logout" || path == "/api/command";
  if (acts ? !post : !get) return Error(405, acts ? "use POST" : "use GET");
  HttpResponse error;
  const auto session = Authorize(request, error);
  if (!session) return error;
  if (acts && !SessionStore::CsrfMatches(*session, request.csrf))
    return Error(403, "missing or wrong X-CSRF-Token");

  if (path == "/api/session")
    return Ok(
        {{"account", session->account ? session->account->name() : ""}, {"csrf", session->csrf}});
  if (path == "/api/logout") return Logout(request);
  if (path == "/api/command") return Command(*session, request);
  if (path == "/api/map") {
    auto snapshot = backend_.MapSnapshot();
    if (!snapshot) return Error(503, "the server is stopping or too busy");
    return {200, "application/octet-stream", std::move(*snapshot), {}};
  }
  return Error(400, "/api/events is an event stream");
}

// As over RCON: a locked-out address is refused unchecked; failures beyond the server-wide
// pace wait their turn (on this HTTP thread, never the game's) or are refused; the password is
// hashed here, on the HTTP thread.
HttpResponse WebApp::Login(const HttpRequest& request) {
  HttpResponse error;
  const auto password = StringField(request, "password", error);
  if (!password) return error;
  rcon::LoginGuard& guard = *options_.guard;
  const auto now = options_.now();
  const auto locked = [&](Clock::time_point at) -> std::optional<HttpResponse> {
    auto until = guard.LockedUntil(request.address, at);
    if (!until) return std::nullopt;
    HttpResponse r = Error(429, "too many failed logins from this address; try again in " +
                                    std::to_string(Seconds(*until - at)) + " s");
    r.headers.emplace_back("Retry-After", std::to_string(Seconds(*until - at)));
    return r;
  };
  if (auto refused = locked(now)) return *refused;
  // The login holds a turn of the server-wide pace while it is checked (others may be checked
  // at the same time on other threads), and gives it back unless it fails.
  const auto wait = guard.ReserveTurn(now);
  if (!wait) return Error(429, "too many failed logins on the server; try again shortly");
  if (wait->count() > 0 && options_.sleep) options_.sleep(*wait);
  const auto checked = options_.now();
  if (auto refused = locked(checked)) {
    guard.ReturnTurn();
    return *refused;
  }

  auto account = options_.accounts->Current()->Authenticate(*password);
  if (!account) {
    const bool locks = guard.RecordFailure(request.address, checked, true);
    if (options_.log) options_.log->warn("web refused login from {}: wrong password", request.peer);
    if (locks && options_.log)
      options_.log->warn("web locked out {} for {} s after {} failed logins", request.address,
                         Seconds(guard.limits().lockout), guard.limits().max_failures);
    return Error(401, "wrong password");
  }
  guard.ReturnTurn();
  guard.RecordSuccess(request.address);
  std::vector<uint64_t> ended;
  auto created = sessions_.Create(account, request.peer, checked, ended);
  for (uint64_t id : ended) backend_.Ended(id);
  if (!created)
    return Error(503, "the console has " + std::to_string(sessions_.limits().max_sessions) +
                          " sessions already; log out of one or wait for one to end");
  if (options_.log) {
    if (account->name().empty())
      options_.log->info("web login from {}", request.peer);
    else
      options_.log->info("web login from {} as {}", request.peer, account->name());
  }
  HttpResponse r = Ok({{"account", account->name()}, {"csrf", created->session->csrf}});
  r.headers.emplace_back("Set-Cookie", Cookie(created->token, sessions_.limits().lifetime));
  return r;
}

HttpResponse WebApp::Logout(const HttpRequest& request) {
  if (auto id = sessions_.Remove(SessionToken(request.cookie))) backend_.Ended(*id);
  HttpResponse r = Ok({{"logged_out", true}});
  r.headers.emplace_back("Set-Cookie", Cookie("", Clock::duration::zero()));
  return r;
}

HttpResponse WebApp::Command(const WebSession& session, const HttpRequest& request) {
  HttpResponse error;
  auto line = StringField(request, "line", error);
  if (!line) return error;
  if (line->size() > kMaxLineBytes) return Error(413, "the command line is too long");
  ConsoleBackend::Outcome outcome = backend_.Run(session, std::move(*line));
  switch (outcome.status) {
    case ConsoleBackend::Status::kDone:
      return Ok({{"replies", outcome.replies}});
    case ConsoleBackend::Status::kBusy:
      return Error(429, "this session has too many lines waiting");
    case ConsoleBackend::Status::kTimedOut:
      return Error(504, "the server did not answer in time");
    case ConsoleBackend::Status::kStopped:
      break;
  }
  return Error(503, "the server is stopping");
}

}  // namespace server::web
