#include "game/world/world_file_writer.h"

#include <array>

#include "game/util/text.h"
#include "game/world/world_json.h"

namespace game {
namespace {

// Writes JSON straight into one string, byte for byte as the JSON library's dump(indent, ' ',
// false, replace) writes the same document: building the library's tree of a million actors
// first costs several times the writing itself.
class JsonOut {
 public:
  // Appends to `out`.
  JsonOut(std::string& out, int indent) : out_(out), indent_(indent) {}

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  // Keys are the writer's own ASCII names: nothing to escape. The key's value follows:
  // o.Key("team").Int(team).
  JsonOut& Key(std::string_view key) {
    Element();
    out_ += '"';
    out_ += key;
    out_ += indent_ >= 0 ? "\": " : "\":";
    after_key_ = true;
    return *this;
  }

  void String(std::string_view text) {
    Element();
    AppendJsonString(out_, text);
  }
  void OptionalString(const std::optional<std::string>& text) {
    if (text)
      String(*text);
    else
      Null();
  }
  void Null() { Raw("null"); }
  void Bool(bool value) { Raw(value ? "true" : "false"); }
  template <class Integer>
  void Int(Integer value) {
    Element();
    AppendInteger(out_, value);
  }
  template <class Integer>
  void OptionalInt(const std::optional<Integer>& value) {
    if (value)
      Int(*value);
    else
      Null();
  }
  // A number with a fraction in its world-file form: non-finite ones as strings.
  void Number(double value) {
    Element();
    AppendWorldNumber(out_, value);
  }
  template <class List>
  void Numbers(const List& numbers) {
    BeginArray();
    for (double n : numbers) Number(n);
    EndArray();
  }
  void Strings(const std::vector<std::string>& texts) {
    BeginArray();
    for (const std::string& text : texts) String(text);
    EndArray();
  }

 private:
  // Before a value or key: the separator from the previous element and the line break.
  void Element() {
    if (after_key_) {
      after_key_ = false;
      return;
    }
    if (depth_ == 0) return;
    if (open_[depth_ - 1]++ != 0) out_ += ',';
    NewLine(depth_);
  }
  void NewLine(std::size_t depth) {
    if (indent_ < 0) return;
    out_ += '\n';
    out_.append(depth * static_cast<std::size_t>(indent_), ' ');
  }
  void Raw(std::string_view text) {
    Element();
    out_ += text;
  }
  void Open(char bracket) {
    Element();
    out_ += bracket;
    open_[depth_++] = 0;
  }
  void Close(char bracket) {
    const bool empty = open_[--depth_] == 0;
    if (!empty) NewLine(depth_);
    out_ += bracket;
  }

  std::string& out_;
  int indent_;
  // Elements written so far in each open object or array: the world file nests six deep.
  std::array<std::size_t, 8> open_{};
  std::size_t depth_ = 0;
  bool after_key_ = false;
};

void WriteHair(JsonOut& o, const std::optional<HairStyle>& h) {
  if (!h) return o.Null();
  o.BeginObject();
  o.Key("percent").Number(h->percent);
  o.Key("style").Int(h->style);
  o.EndObject();
}

// The fields of the entry's kind, in the order of the call's arguments.
void WriteInboxEntry(JsonOut& o, const InboxEntry& e) {
  o.BeginObject();
  o.Key("kind").String(e.kind);
  if (e.kind == "chat") {
    o.Key("sender").String(e.sender);
    o.Key("sender_account").String(e.sender_account);
    o.Key("sender_tribe").String(e.sender_tribe);
    o.Key("sender_id").Int(e.sender_id);
    o.Key("text").String(e.text);
    o.Key("receiver").String(e.receiver);
    o.Key("sender_team").Int(e.sender_team);
    o.Key("received_time").Number(e.received_time);
    o.Key("send_mode").Int(e.send_mode);
    o.Key("radio_frequency").Int(e.radio_frequency);
    o.Key("chat_type").Int(e.chat_type);
    o.Key("sender_icon").OptionalString(e.sender_icon);
    o.Key("from_server").Int(e.from_server);
    o.Key("user_id").String(e.user_id);
    return o.EndObject();
  }
  o.Key("text").String(e.text);
  o.Key("colour");
  if (e.colour)
    o.Numbers(*e.colour);
  else
    o.Null();
  if (e.kind == "notification") {
    o.Key("scale").Number(e.scale);
    o.Key("seconds").Number(e.seconds);
    o.Key("icon").OptionalString(e.icon);
    o.Key("sound").OptionalString(e.sound);
    o.Key("priority").Int(e.priority);
  } else {
    o.Key("bold").Bool(e.bold);
    o.Key("sender").String(e.sender);
  }
  o.EndObject();
}

void WritePlayer(JsonOut& o, const PlayerDescription& p) {
  o.BeginObject();
  o.Key("eos_id").String(p.eos_id);
  o.Key("character_name").String(p.character_name);
  o.Key("player_name").OptionalString(p.player_name);
  o.Key("player_data_name").String(p.player_data_name);
  o.Key("player_id").OptionalInt(p.player_id);
  o.Key("linked_player_data_id").OptionalInt(p.linked_player_data_id);
  o.Key("team").Int(p.team);
  o.Key("tribe").OptionalInt(p.tribe);
  o.Key("position").Numbers(p.position);
  o.Key("character")
      .String(p.character == CharacterState::kAlive  ? "alive"
              : p.character == CharacterState::kDead ? "dead"
                                                     : "none");
  o.Key("player_state").Bool(p.player_state);
  o.Key("pawn").Bool(p.pawn);
  o.Key("cheat_manager").Bool(p.cheat_manager);
  o.Key("stale").Bool(p.stale);
  o.Key("inventory").BeginArray();
  for (const ItemGift& g : p.inventory) {
    o.BeginObject();
    o.Key("item").String(g.item);
    o.Key("quantity").Int(g.quantity);
    o.Key("quality").Number(g.quality);
    o.Key("blueprint").Bool(g.blueprint);
    o.EndObject();
  }
  o.EndArray();
  o.Key("experience").Number(p.experience);
  o.Key("hexagons").Int(p.hexagons);
  o.Key("armor_sets").BeginArray();
  for (const auto& [tier, quality] : p.armor_sets) {
    o.BeginArray();
    o.String(tier);
    o.String(quality);
    o.EndArray();
  }
  o.EndArray();
  o.Key("engrams").Strings(p.engrams);
  o.Key("bosses").BeginArray();
  for (const BossDefeat& b : p.bosses) {
    o.BeginObject();
    o.Key("boss").String(b.boss);
    o.Key("difficulty").Int(b.difficulty);
    o.EndObject();
  }
  o.EndArray();
  o.Key("inbox").BeginArray();
  for (const InboxEntry& e : p.inbox) WriteInboxEntry(o, e);
  o.EndArray();
  o.Key("script_commands").Strings(p.script_commands);
  o.Key("tribe_rank").String(p.tribe_rank);
  o.Key("facial_hair");
  WriteHair(o, p.facial_hair);
  o.Key("head_hair");
  WriteHair(o, p.head_hair);
  o.Key("kick_message").OptionalString(p.kick_message);
  o.EndObject();
}

// The keys after "food" only when they differ from their defaults.
void WriteDino(JsonOut& o, const DinoDescription& d) {
  o.BeginObject();
  o.Key("class").String(d.class_name);
  o.Key("id1").OptionalInt(d.id1);
  o.Key("id2").OptionalInt(d.id2);
  o.Key("team").Int(d.team);
  o.Key("name").OptionalString(d.name);
  o.Key("level").Int(d.level);
  o.Key("position").Numbers(d.position);
  o.Key("dead").Bool(d.dead);
  o.Key("food").Numbers(d.food);
  if (!d.tamer.empty()) {
    o.Key("tamer").String(d.tamer);
  }
  if (d.taming_team != 0) {
    o.Key("taming_team").Int(d.taming_team);
  }
  if (d.experience != 0.0) {
    o.Key("experience").Number(d.experience);
  }
  if (!d.colours.empty()) {
    o.Key("colours").BeginArray();
    for (const auto& [region, colour] : d.colours) {
      o.BeginArray();
      o.Int(region);
      o.Int(colour);
      o.EndArray();
    }
    o.EndArray();
  }
  if (d.imprint_quality != 0.0F) {
    o.Key("imprint_quality").Number(d.imprint_quality);
  }
  if (d.imprinter) {
    o.Key("imprinter").BeginObject();
    o.Key("name").String(d.imprinter->name);
    o.Key("player_id").String(d.imprinter->player_id);
    o.EndObject();
  }
  if (d.neutered) {
    o.Key("neutered").Bool(true);
  }
  if (!d.playing) {
    o.Key("playing").Bool(false);
  }
  o.EndObject();
}

void WriteStructure(JsonOut& o, const StructureDescription& s) {
  o.BeginObject();
  o.Key("class").String(s.class_name);
  o.Key("team").Int(s.team);
  o.Key("owner").String(s.owner);
  o.Key("name").OptionalString(s.name);
  o.Key("consumes_item").OptionalString(s.consumes_item);
  o.Key("pickup_item").OptionalString(s.pickup_item);
  o.Key("position").Numbers(s.position);
  o.EndObject();
}

void WriteActor(JsonOut& o, const ActorDescription& a) {
  o.BeginObject();
  o.Key("class").String(a.class_name);
  o.Key("kind");
  if (a.kind)
    o.String(ClassKindName(*a.kind));
  else
    o.Null();
  o.Key("team").Int(a.team);
  o.Key("position").Numbers(a.position);
  o.EndObject();
}

template <class T, class F>
void WriteList(JsonOut& o, std::string_view key, const std::vector<T>& list, F write_one) {
  o.Key(key).BeginArray();
  for (const T& element : list) write_one(o, element);
  o.EndArray();
}

}  // namespace

void AppendWorldFileEntity(std::string& out, const DinoDescription& dino) {
  JsonOut o(out, -1);
  WriteDino(o, dino);
}
void AppendWorldFileEntity(std::string& out, const StructureDescription& structure) {
  JsonOut o(out, -1);
  WriteStructure(o, structure);
}
void AppendWorldFileEntity(std::string& out, const ActorDescription& actor) {
  JsonOut o(out, -1);
  WriteActor(o, actor);
}

std::string WorldFileText(const WorldDescription& w, int indent, const AllocatorCounts* memory) {
  std::string text;
  JsonOut o(text, indent);
  // More than an indented actor takes (about 400 bytes), so that a big text is never copied
  // as it grows; the pages beyond its end are never touched.
  text.reserve(4096 + 512 * (w.dinos.size() + w.structures.size() + w.actors.size()) +
               4096 * w.players.size());
  o.BeginObject();
  o.Key("map").String(w.map);
  o.Key("world").Bool(w.world);
  o.Key("game_state");
  if (w.game_state) {
    o.BeginObject();
    o.Key("day_time").String(w.game_state->day_time);
    o.Key("framerate").Number(w.game_state->framerate);
    o.Key("players_connected").OptionalInt(w.game_state->players_connected);
    o.EndObject();
  } else {
    o.Null();
  }
  o.Key("world_settings");
  if (w.world_settings) {
    o.BeginObject();
    o.Key("longitude_origin").Number(w.world_settings->longitude_origin);
    o.Key("latitude_origin").Number(w.world_settings->latitude_origin);
    o.Key("longitude_scale").Number(w.world_settings->longitude_scale);
    o.Key("latitude_scale").Number(w.world_settings->latitude_scale);
    o.EndObject();
  } else {
    o.Null();
  }
  o.Key("save_directory").String(w.save_directory);
  o.Key("server_cheat_manager").Bool(w.server_cheat_manager);
  o.Key("tribe_data_struct").Bool(w.tribe_data_struct);
  WriteList(o, "classes", w.classes, [](JsonOut& out, const ClassDescription& c) {
    out.BeginObject();
    out.Key("name").String(c.name);
    out.Key("kind").String(ClassKindName(c.kind));
    out.Key("path").OptionalString(c.path);
    out.EndObject();
  });
  o.Key("items").Strings(w.items);
  WriteList(o, "tribes", w.tribes, [](JsonOut& out, const TribeDescription& t) {
    out.BeginObject();
    out.Key("id").Int(t.id);
    out.Key("name").String(t.name);
    out.Key("log").Strings(t.log);
    out.Key("loadable").Bool(t.loadable);
    out.EndObject();
  });
  WriteList(o, "players", w.players, WritePlayer);
  WriteList(o, "dinos", w.dinos, WriteDino);
  WriteList(o, "structures", w.structures, WriteStructure);
  WriteList(o, "actors", w.actors, WriteActor);
  o.Key("profiles").Strings(w.profiles);
  o.Key("script_commands").Strings(w.script_commands);
  if (memory != nullptr) {
    o.Key("memory").BeginObject();
    o.Key("live_blocks").Int(memory->live_blocks);
    o.Key("live_bytes").Int(memory->live_bytes);
    o.EndObject();
  }
  o.EndObject();
  return text;
}

}  // namespace game
