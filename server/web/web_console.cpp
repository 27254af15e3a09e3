#include "server/web/web_console.h"

#include <httplib.h>

#include <stdexcept>
#include <thread>

#include "game/world/world.h"
#include "server/web/web_app.h"
#include "server/web/web_bridge.h"

namespace server::web {
namespace {

using namespace std::chrono_literals;

// How often an idle event stream sends a comment, so that a browser that has gone is noticed.
constexpr std::chrono::milliseconds kKeepAlive = 15s;

HttpRequest FromHttplib(const httplib::Request& r) {
  return {r.method,
          r.path,
          r.get_header_value("Cookie"),
          r.get_header_value("X-CSRF-Token"),
          r.body,
          r.remote_addr,
          r.remote_addr + ":" + std::to_string(r.remote_port),
          r.get_header_value("Host")};
}

bool IsLoopback(const std::string& address) {
  return address.starts_with("127.") || address == "::1" || address == "localhost";
}

void ToHttplib(const HttpResponse& from, httplib::Response& to) {
  to.status = from.status;
  for (const auto& [name, value] : from.headers) to.set_header(name, value);
  to.set_content(from.body, from.content_type);
}

class WebConsoleImpl final : public WebConsole {
 public:
  WebConsoleImpl(WebConsoleOptions options, GameLoop& loop, const LineRunner& runner,
                 const SharedSinks& sinks, EventHub& events)
      : events_(events),
        bridge_(loop, runner, sinks, events),
        app_({options.guard,
              options.accounts,
              {},
              [] { return Clock::now(); },
              [](Clock::duration d) { std::this_thread::sleep_for(d); },
              options.log,
              IsLoopback(options.bind_address)
                  ? std::vector<std::string>{"127.0.0.1", "localhost", "[::1]"}
                  : std::vector<std::string>{}},
             bridge_),
        journal_(game::World::Installed().journal()),
        journal_sink_before_(journal_.sink()) {
    Routes();
    const bool bound = options.port == 0
                           ? (port_ = server_.bind_to_any_port(options.bind_address)) > 0
                           : server_.bind_to_port(options.bind_address, options.port);
    if (!bound)
      throw std::runtime_error("cannot serve the web console on " + options.bind_address + ":" +
                               std::to_string(options.port));
    if (options.port != 0) port_ = options.port;
    events_.set_on_change([this, &loop] { loop.Post([this] { TapJournal(!events_.idle()); }); });
    thread_ = std::thread([this] { server_.listen_after_bind(); });
  }

  ~WebConsoleImpl() override {
    events_.set_on_change({});
    bridge_.Stop();
    events_.CloseAll();
    server_.stop();
    thread_.join();
    TapJournal(false);
  }

  uint16_t port() const override { return static_cast<uint16_t>(port_); }
  std::optional<RequestOrigin> OriginOf(RCONClientConnection* connection) const override {
    return bridge_.OriginOf(connection);
  }

 private:
  // The journal is on while a browser watches (its lines and the entities they touch feed the
  // streams) and as it was otherwise, so that the console costs the game thread nothing while
  // nobody looks. Game thread.
  void TapJournal(bool on) {
    if (on == tapped_) return;
    tapped_ = on;
    if (!on) {
      journal_.SetObserver({});
      journal_.SetSink(journal_sink_before_);
      return;
    }
    journal_.SetSink([this](const std::string& line) {
      if (journal_sink_before_) journal_sink_before_(line);
      bridge_.OnJournalLine(line);
    });
    journal_.SetObserver(
        [this](std::string_view, const nlohmann::ordered_json& self,
               const nlohmann::ordered_json& args) { bridge_.Observe(self, args); });
  }

  void Routes() {
    // Event streams and waits for the game thread hold a thread each: room for every session's
    // stream and as many requests besides.
    const std::size_t threads = 2 * SessionStore::Limits().max_sessions + 4;
    server_.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server_.set_payload_max_length(kMaxRequestBody);
    server_.set_read_timeout(10s);
    server_.set_write_timeout(10s);
    server_.set_keep_alive_max_count(100);
    server_.set_default_headers({{"X-Content-Type-Options", "nosniff"},
                                 {"X-Frame-Options", "DENY"},
                                 {"Cache-Control", "no-store"},
                                 {"Referrer-Policy", "no-referrer"},
                                 {"Content-Security-Policy", "default-src 'self'"}});
    // Replies go uncompressed: the console is reached on the machine itself or through a tunnel
    // (which may compress), and the library would otherwise compress text replies with Brotli at
    // its slowest setting, minutes for a reply of tens of megabytes (a large preview's report).
    server_.set_pre_routing_handler([](const httplib::Request& req, httplib::Response&) {
      // The library's own request object, which it hands out as const.
      const_cast<httplib::Request&>(req).headers.erase("Accept-Encoding");
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server_.Get("/api/events", [this](const httplib::Request& req, httplib::Response& res) {
      Events(FromHttplib(req), res);
    });
    const auto handle = [this](const httplib::Request& req, httplib::Response& res) {
      ToHttplib(app_.Handle(FromHttplib(req)), res);
    };
    for (auto add : {&httplib::Server::Get, &httplib::Server::Put, &httplib::Server::Delete,
                     &httplib::Server::Patch})
      (server_.*add)(".*", handle);
    server_.Post(".*", handle);
    server_.Options(".*", handle);
    // What the library answers itself (a body over the limit, a malformed request) gets a
    // message too.
    server_.set_error_handler([](const httplib::Request&, httplib::Response& res) {
      if (!res.body.empty()) return;
      res.set_content(
          res.status == 413 ? R"({"error":"the body is too large"})" : R"({"error":"bad request"})",
          "application/json");
    });
    server_.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
          res.status = 500;
          res.set_content(R"({"error":"internal error"})", "application/json");
        });
  }

  void Events(const HttpRequest& request, httplib::Response& res) {
    HttpResponse error;
    const auto session = app_.Authorize(request, error);
    if (!session) {
      ToHttplib(error, res);
      return;
    }
    auto stream = events_.Open(session->id);
    res.set_chunked_content_provider(
        "text/event-stream", [stream, first = true](size_t, httplib::DataSink& sink) mutable {
          std::string out;
          const bool opening = std::exchange(first, false);
          if (opening) out = "retry: 2000\n: live\n\n";
          const bool live = stream->Next(opening ? 0ms : kKeepAlive, out);
          if (out.empty()) out = ": idle\n\n";
          if (!sink.write(out.data(), out.size())) return false;
          if (!live) sink.done();
          return true;
        });
  }

  EventHub& events_;
  WebBridge bridge_;
  WebApp app_;
  game::Journal& journal_;
  const game::Journal::Sink journal_sink_before_;
  bool tapped_ = false;
  httplib::Server server_;
  int port_ = 0;
  std::thread thread_;
};

}  // namespace

std::unique_ptr<WebConsole> WebConsole::Start(WebConsoleOptions options, GameLoop& loop,
                                              const LineRunner& runner, const SharedSinks& sinks,
                                              EventHub& events) {
  return std::make_unique<WebConsoleImpl>(std::move(options), loop, runner, sinks, events);
}

}  // namespace server::web
