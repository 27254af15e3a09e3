#include "game/journal/journal.h"

namespace game {
namespace {

Journal* active_journal = nullptr;

}  // namespace

void Journal::Write(std::string_view fn, nlohmann::ordered_json self,
                    nlohmann::ordered_json args) const {
  nlohmann::ordered_json line;
  line["fn"] = fn;
  line["self"] = std::move(self);
  line["args"] = std::move(args);
  // Texts reach here as valid UTF-8 (see util/text.h); replace rather than throw regardless.
  sink_(line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace));
}

Journal* ActiveJournal() { return active_journal; }

void SetActiveJournal(Journal* journal) { active_journal = journal; }

}  // namespace game
