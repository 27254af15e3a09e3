// EventHub: what the web console's pages watch live (audit lines, journal lines, map changes),
// fanned out to one stream per logged-in session as server-sent events. Publishers never wait:
// each stream has a bounded backlog, and a stream whose reader falls too far behind is ended
// (the page reconnects and reloads what it shows), so a slow or vanished browser holds back
// only itself. Thread-safe: the game thread publishes, each stream's HTTP thread reads.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace server::web {

class EventHub {
 public:
  class Stream;

  explicit EventHub(std::size_t max_backlog_bytes = 4u << 20)
      : max_backlog_bytes_(max_backlog_bytes) {}
  ~EventHub();

  // A stream for `session`; one that session had before ends. After CloseAll, an ended one.
  std::shared_ptr<Stream> Open(uint64_t session);
  // Ends the session's stream, if any.
  void Close(uint64_t session);
  // Ends every stream for good (the server stops).
  void CloseAll();
  // Appends one event of `type` (one line of `data`, no newline) to every stream.
  void Publish(std::string_view type, std::string_view data);
  // No stream is open: publishers may skip the work of making events.
  bool idle() const;
  // Called, under the hub's lock, each time a stream opens or ends; none: nothing is called.
  void set_on_change(std::function<void()> on_change);

 private:
  const std::size_t max_backlog_bytes_;
  mutable std::mutex mutex_;
  std::unordered_map<uint64_t, std::shared_ptr<Stream>> streams_;
  bool closed_ = false;
  std::function<void()> on_change_;
};

class EventHub::Stream {
 public:
  // Waits up to `wait` for events and appends what arrived (SSE text) to `out`; false once the
  // stream has ended.
  bool Next(std::chrono::milliseconds wait, std::string& out);

 private:
  friend class EventHub;
  void End();
  std::mutex mutex_;
  std::condition_variable arrived_;
  std::string backlog_;
  bool ended_ = false;
};

}  // namespace server::web
