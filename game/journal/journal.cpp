#include "game/journal/journal.h"

namespace game {
namespace {

Journal* active_journal = nullptr;

}  // namespace

void Journal::Write(std::string_view fn, nlohmann::ordered_json self,
                    nlohmann::ordered_json args) const {
  if (observer_) observer_(fn, self, args);
  nlohmann::ordered_json line;
  line["fn"] = fn;
  line["self"] = std::move(self);
  line["args"] = std::move(args);
  if (request_) {
    line["source"] = request_->source;
    line["id"] = request_->id;
  }
  // Texts reach here as valid UTF-8 (see util/text.h); replace rather than throw regardless.
  sink_(line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

void Journal::WriteEffect(std::string_view what, std::string_view path) const {
  if (enabled()) Write(what, nullptr, nlohmann::ordered_json::array({path}));
}

Journal* ActiveJournal() { return active_journal; }

void SetActiveJournal(Journal* journal) { active_journal = journal; }

}  // namespace game
