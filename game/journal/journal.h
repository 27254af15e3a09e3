// Journal: the record of every game call that acts on the world or on players, one JSON object
// a line: {"fn": NAME, "self": REF, "args": [...]}, NAME being the symbolic name exactly as the
// plugin resolves it. While a request runs, its lines also carry "source" and "id" (the sender
// and the request id, as the audit line names them), so that calls can be matched to the request
// that made them. Lines go to the sink the server or a test sets; without a sink nothing is
// built. An observer, when set, sees each call before its line is written and before the call
// acts (the preview learns from it which entities a line touches).
// Thread: the game thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace game {

class Journal {
 public:
  using Sink = std::function<void(const std::string& line)>;
  using Observer = std::function<void(std::string_view fn, const nlohmann::ordered_json& self,
                                      const nlohmann::ordered_json& args)>;

  void SetSink(Sink sink) { sink_ = std::move(sink); }
  const Sink& sink() const { return sink_; }
  void SetObserver(Observer observer) { observer_ = std::move(observer); }
  bool enabled() const { return static_cast<bool>(sink_); }
  // The request whose calls the following lines record; cleared when it is over.
  void SetRequest(std::string source, int32_t id) { request_ = Request{std::move(source), id}; }
  void ClearRequest() { request_.reset(); }
  // REQUIRES: enabled(). `self` is the REF text or null; `args` an array.
  void Write(std::string_view fn, nlohmann::ordered_json self, nlohmann::ordered_json args) const;
  // A line for something a request did outside the game's functions (a file written or
  // removed): {"fn": WHAT, "self": null, "args": [PATH]} and the request's fields. No-op when
  // not enabled().
  void WriteEffect(std::string_view what, std::string_view path) const;

 private:
  struct Request {
    std::string source;
    int32_t id = 0;
  };
  Sink sink_;
  Observer observer_;
  std::optional<Request> request_;
};

// The journal of the installed game, or null when none is installed.
Journal* ActiveJournal();
void SetActiveJournal(Journal* journal);

}  // namespace game
