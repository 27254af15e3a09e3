#include "game/journal/journal.h"

namespace game {
namespace {

Journal* active_journal = nullptr;

}  // namespace

void Journal::Write(std::string_view fn, nlohmann::ordered_json self,
                    nlohmann::ordered_json args) const {
  if (observer_) observer_(fn, self, args);
  // Written piece by piece, as dumping the object {"fn", "self", "args", "source", "id"} would
  // write it, without building that object: a line that destroys many actors writes many lines.
  // Texts reach here as valid UTF-8 (see util/text.h); replace rather than throw regardless.
  auto dump = [](const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  };
  std::string line = "{\"fn\":";
  line += dump(fn);
  line += ",\"self\":";
  line += dump(self);
  line += ",\"args\":";
  line += dump(args);
  if (request_) {
    line += ",\"source\":";
    line += dump(request_->source);
    line += ",\"id\":";
    line += std::to_string(request_->id);
  }
  line += '}';
  sink_(line);
}

void Journal::WriteEffect(std::string_view what, std::string_view path) const {
  if (enabled()) Write(what, nullptr, nlohmann::ordered_json::array({path}));
}

Journal* ActiveJournal() { return active_journal; }

void SetActiveJournal(Journal* journal) { active_journal = journal; }

}  // namespace game
