// Journal: the record of every game call that acts on the world or on players, one JSON object
// a line: {"fn": NAME, "self": REF, "args": [...]}, NAME being the symbolic name exactly as the
// plugin resolves it. Lines go to the sink the server or a test sets; without a sink nothing is
// built. Thread: the game thread.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace game {

class Journal {
 public:
  using Sink = std::function<void(const std::string& line)>;

  void SetSink(Sink sink) { sink_ = std::move(sink); }
  bool enabled() const { return static_cast<bool>(sink_); }
  // REQUIRES: enabled(). `self` is the REF text or null; `args` an array.
  void Write(std::string_view fn, nlohmann::ordered_json self, nlohmann::ordered_json args) const;

 private:
  Sink sink_;
};

// The journal of the installed game, or null when none is installed.
Journal* ActiveJournal();
void SetActiveJournal(Journal* journal);

}  // namespace game
