#include "game/journal/journal.h"

#include <nlohmann/json.hpp>

#include "game/objects/objects.h"
#include "game/util/text.h"
#include "game/world/world_json.h"

namespace game {
namespace {

Journal* active_journal = nullptr;

// The REF text of an object, as World::RefOf gives it, appended without a string of its own: a
// line that destroys many actors names one per line.
void AppendRef(std::string& out, const ObjectBase* object) {
  if (object == nullptr) {
    out += "null";
    return;
  }
  auto player_part = [&out](const char* kind, const Player* player) {
    out += kind;
    out += player ? std::string_view(player->description.eos_id) : std::string_view("?");
  };
  switch (object->kind) {
    case ObjectKind::kController:
      return player_part("controller:", static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kCharacter:
      return player_part("character:", static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kPlayerState:
      return player_part("playerstate:", static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kCheatManager: {
      const Player* player = static_cast<const CheatManager*>(object)->player;
      out += "cheatmanager:";
      out += player ? std::string_view(player->description.eos_id) : std::string_view("server");
      return;
    }
    case ObjectKind::kDino: {
      const auto* dino = static_cast<const Dino*>(object);
      if (dino->spawned) break;
      out += "dino:";
      AppendInteger(out, dino->dino_id1);
      out += ':';
      AppendInteger(out, dino->dino_id2);
      return;
    }
    case ObjectKind::kStructure:
    case ObjectKind::kActor:
    case ObjectKind::kPawn:
      if (static_cast<const ActorBase*>(object)->spawned) break;
      out += object->kind == ObjectKind::kStructure ? "structure:" : "actor:";
      AppendInteger(out, static_cast<const ActorBase*>(object)->source_index);
      return;
    case ObjectKind::kRootComponent:
      out += "root:";
      return AppendRef(out, static_cast<const SceneComponent*>(object)->owner);
    case ObjectKind::kStatusComponent:
      out += "status:";
      return AppendRef(out, static_cast<const StatusComponent*>(object)->owner);
    case ObjectKind::kGameMode:
      out += "gamemode";
      return;
    case ObjectKind::kWorld:
      out += "world";
      return;
    default:
      out += "object:";
      AppendInteger(out, object->object_index);
      return;
  }
  out += "spawned:";
  AppendInteger(out, static_cast<const ActorBase*>(object)->source_index);
}

}  // namespace

void to_json(nlohmann::ordered_json& json, const JournalSelf& self) {
  json = nullptr;
  if (self.object == nullptr) return;
  std::string ref;
  AppendRef(ref, self.object);
  json = std::move(ref);
}

void to_json(nlohmann::ordered_json& json, const JournalObjects& objects) {
  json = nlohmann::ordered_json::array();
  for (const ObjectBase* object : objects.objects) {
    std::string ref;
    AppendRef(ref, object);
    json.push_back(std::move(ref));
  }
}

void JournalLine::Separate() {
  if (separate_) text_ += ',';
  separate_ = true;
}

void JournalLine::Raw(std::string_view text) {
  Separate();
  text_ += text;
}

void JournalLine::Number(double value) {
  Separate();
  AppendWorldNumber(text_, value);
}

void JournalLine::String(std::u16string_view utf16) {
  Separate();
  const std::size_t from = text_.size();
  AppendUtf8(text_, utf16);
  QuoteJsonTail(text_, from);
}

void JournalLine::Ref(const ObjectBase* object) {
  if (object == nullptr) return Null();
  Separate();
  const std::size_t from = text_.size();
  AppendRef(text_, object);
  QuoteJsonTail(text_, from);
}

void JournalLine::Object(const ObjectBase* object) {
  Ref(object);
  if (object != nullptr) objects_.push_back(object);
}

void JournalLine::BeginArray() {
  Separate();
  text_ += '[';
  separate_ = false;
}

void JournalLine::EndArray() {
  text_ += ']';
  separate_ = true;
}

JournalLine Journal::Open(std::string_view fn) const {
  JournalLine line = std::move(spare_);
  line.text_.clear();
  line.objects_.clear();
  line.fn_ = fn;
  line.self_ = nullptr;
  line.separate_ = false;
  line.text_ += "{\"fn\":";
  AppendJsonString(line.text_, fn);
  line.text_ += ",\"self\":";
  return line;
}

JournalLine Journal::Begin(std::string_view fn, const ObjectBase* self) const {
  JournalLine line = Open(fn);
  line.Ref(self);
  line.self_ = self;
  line.text_ += ",\"args\":[";
  line.separate_ = false;
  return line;
}

void Journal::Finish(JournalLine& line) const {
  // Written piece by piece, as dumping the object {"fn", "self", "args", "source", "id"} would
  // write it, without building that object: a line that destroys many actors writes many lines.
  line.text_ += ']';
  if (request_) {
    line.text_ += ",\"source\":";
    AppendJsonString(line.text_, request_->source);
    line.text_ += ",\"id\":";
    AppendInteger(line.text_, request_->id);
  }
  line.text_ += '}';
  if (observer_) observer_(line.fn_, JournalSelf{line.self_}, JournalObjects{line.objects_});
  sink_(line.text_);
  spare_ = std::move(line);
}

void Journal::Write(std::string_view fn, const nlohmann::ordered_json& self,
                    const nlohmann::ordered_json& args) const {
  // Texts reach here as valid UTF-8 (see util/text.h); replace rather than throw regardless.
  auto dump = [](const nlohmann::ordered_json& value) {
    return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
  };
  JournalLine line = Open(fn);
  line.text_ += dump(self);
  line.text_ += ",\"args\":";
  std::string array = dump(args);
  array.pop_back();  // the closing bracket, which Finish writes
  line.text_ += array;
  Finish(line);
}

void Journal::WriteEffect(std::string_view what, std::string_view path) const {
  if (enabled()) Write(what, nullptr, nlohmann::ordered_json::array({path}));
}

Journal* ActiveJournal() { return active_journal; }

void SetActiveJournal(Journal* journal) { active_journal = journal; }

}  // namespace game
