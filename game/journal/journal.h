// Journal: the record of every game call that acts on the world or on players, one JSON object
// a line: {"fn": NAME, "self": REF, "args": [...]}, NAME being the symbolic name exactly as the
// plugin resolves it. While a request runs, its lines also carry "source" and "id" (the sender
// and the request id, as the audit line names them), so that calls can be matched to the request
// that made them. Lines go to the sink the server or a test sets; without a sink nothing is
// built. An observer, when set, sees each call's objects before its line goes to the sink and
// before the call acts (the preview learns from it which entities a line touches).
// Thread: the game thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/util/text.h"

namespace game {

struct ObjectBase;

// The objects one call names, as the observer sees them: its `self` (null when it has none that
// is an object of the world) and the objects among its arguments, records searched through, in
// order, null ones left out. An observer that speaks in REFs may take either as JSON: the REF or
// null, an array of REFs.
struct JournalSelf {
  const ObjectBase* object = nullptr;
};
struct JournalObjects {
  std::span<const ObjectBase* const> objects;
};
void to_json(nlohmann::ordered_json& json, const JournalSelf& self);
void to_json(nlohmann::ordered_json& json, const JournalObjects& objects);

// One line being written, straight into text: Journal::Begin opens it up to its arguments, the
// caller appends them in order, Journal::Finish closes and hands it on. Values are written as the
// JSON library's dump writes them, objects as their REF or null. Owned by the caller between
// Begin and Finish.
class JournalLine {
 public:
  void Null() { Raw("null"); }
  void Bool(bool value) { Raw(value ? "true" : "false"); }
  template <class Integer>
  void Int(Integer value) {
    Separate();
    AppendInteger(text_, value);
  }
  // A number with a fraction: as the world file writes it (non-finite ones as "nan", "inf",
  // "-inf").
  void Number(double value);
  void String(std::u16string_view utf16);
  // The object's REF; the observer is shown it among the call's objects.
  void Object(const ObjectBase* object);
  void BeginArray();
  void EndArray();

 private:
  friend class Journal;
  void Separate();
  void Raw(std::string_view text);
  void Ref(const ObjectBase* object);

  std::string text_;
  std::vector<const ObjectBase*> objects_;
  std::string_view fn_;
  const ObjectBase* self_ = nullptr;
  bool separate_ = false;  // a value precedes in the open array
};

class Journal {
 public:
  using Sink = std::function<void(const std::string& line)>;
  using Observer =
      std::function<void(std::string_view fn, const JournalSelf& self, const JournalObjects& args)>;

  void SetSink(Sink sink) { sink_ = std::move(sink); }
  const Sink& sink() const { return sink_; }
  void SetObserver(Observer observer) { observer_ = std::move(observer); }
  bool enabled() const { return static_cast<bool>(sink_); }
  // The request whose calls the following lines record; cleared when it is over.
  void SetRequest(std::string source, int32_t id) { request_ = Request{std::move(source), id}; }
  void ClearRequest() { request_.reset(); }
  // The line of a call of `fn` on `self` (null for a static function), open for its arguments.
  // Its text reuses the last line's buffer. REQUIRES: enabled().
  JournalLine Begin(std::string_view fn, const ObjectBase* self) const;
  // Closes `line`, shows its objects to the observer and hands it to the sink.
  void Finish(JournalLine& line) const;
  // A line whose `self` (a REF text or null) and `args` (an array) are JSON already; the observer
  // sees no objects. REQUIRES: enabled().
  void Write(std::string_view fn, const nlohmann::ordered_json& self,
             const nlohmann::ordered_json& args) const;
  // A line for something a request did outside the game's functions (a file written or
  // removed): {"fn": WHAT, "self": null, "args": [PATH]} and the request's fields. No-op when
  // not enabled().
  void WriteEffect(std::string_view what, std::string_view path) const;

 private:
  struct Request {
    std::string source;
    int32_t id = 0;
  };
  JournalLine Open(std::string_view fn) const;
  Sink sink_;
  Observer observer_;
  std::optional<Request> request_;
  mutable JournalLine spare_;  // the buffers of the last line, kept for the next
};

// The journal of the installed game, or null when none is installed.
Journal* ActiveJournal();
void SetActiveJournal(Journal* journal);

}  // namespace game
