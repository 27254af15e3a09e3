#include "game/world/world_file_writer.h"

#include <charconv>

#include <nlohmann/json.hpp>

#include "game/world/world_json.h"

namespace game {
namespace {

// Writes JSON straight into one string, byte for byte as the JSON library's dump(indent, ' ',
// false, replace) writes the same document: building the library's tree of a million actors
// first costs several times the writing itself.
class JsonOut {
 public:
  explicit JsonOut(int indent) : indent_(indent) { open_.reserve(8); }

  void BeginObject() { Open('{'); }
  void EndObject() { Close('}'); }
  void BeginArray() { Open('['); }
  void EndArray() { Close(']'); }

  // Keys are the writer's own ASCII names: nothing to escape.
  void Key(std::string_view key) {
    Element();
    out_ += '"';
    out_ += key;
    out_ += indent_ >= 0 ? "\": " : "\":";
    after_key_ = true;
  }

  void String(std::string_view text) {
    Element();
    if (Plain(text)) {
      out_ += '"';
      out_ += text;
      out_ += '"';
    } else {
      // Escapes and the replacement of invalid UTF-8 are the library's, exactly.
      out_ += nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }
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
    char buffer[24];
    const char* end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out_.append(buffer, static_cast<std::size_t>(end - buffer));
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
    if (const char* name = NonFiniteWorldNumber(value)) return String(std::string_view(name));
    Element();
    char buffer[64];
    const char* end = nlohmann::detail::to_chars(buffer, buffer + sizeof buffer, value);
    out_.append(buffer, static_cast<std::size_t>(end - buffer));
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

  std::string Take() { return std::move(out_); }
  void Reserve(std::size_t bytes) { out_.reserve(bytes); }

 private:
  // Printable ASCII without quote or backslash: written as it is.
  static bool Plain(std::string_view text) {
    for (char c : text) {
      const auto byte = static_cast<unsigned char>(c);
      if (byte < 0x20 || byte >= 0x80 || c == '"' || c == '\\') return false;
    }
    return true;
  }

  // Before a value or key: the separator from the previous element and the line break.
  void Element() {
    if (after_key_) {
      after_key_ = false;
      return;
    }
    if (open_.empty()) return;
    if (open_.back()++ != 0) out_ += ',';
    NewLine(open_.size());
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
    open_.push_back(0);
  }
  void Close(char bracket) {
    const bool empty = open_.back() == 0;
    open_.pop_back();
    if (!empty) NewLine(open_.size());
    out_ += bracket;
  }

  int indent_;
  std::string out_;
  std::vector<std::size_t> open_;  // elements written so far in each open object or array
  bool after_key_ = false;
};

void WriteHair(JsonOut& o, const std::optional<HairStyle>& h) {
  if (!h) return o.Null();
  o.BeginObject();
  o.Key("percent");
  o.Number(h->percent);
  o.Key("style");
  o.Int(h->style);
  o.EndObject();
}

// The fields of the entry's kind, in the order of the call's arguments.
void WriteInboxEntry(JsonOut& o, const InboxEntry& e) {
  o.BeginObject();
  o.Key("kind");
  o.String(e.kind);
  if (e.kind == "chat") {
    o.Key("sender");
    o.String(e.sender);
    o.Key("sender_account");
    o.String(e.sender_account);
    o.Key("sender_tribe");
    o.String(e.sender_tribe);
    o.Key("sender_id");
    o.Int(e.sender_id);
    o.Key("text");
    o.String(e.text);
    o.Key("receiver");
    o.String(e.receiver);
    o.Key("sender_team");
    o.Int(e.sender_team);
    o.Key("received_time");
    o.Number(e.received_time);
    o.Key("send_mode");
    o.Int(e.send_mode);
    o.Key("radio_frequency");
    o.Int(e.radio_frequency);
    o.Key("chat_type");
    o.Int(e.chat_type);
    o.Key("sender_icon");
    o.OptionalString(e.sender_icon);
    o.Key("from_server");
    o.Int(e.from_server);
    o.Key("user_id");
    o.String(e.user_id);
    return o.EndObject();
  }
  o.Key("text");
  o.String(e.text);
  o.Key("colour");
  if (e.colour)
    o.Numbers(*e.colour);
  else
    o.Null();
  if (e.kind == "notification") {
    o.Key("scale");
    o.Number(e.scale);
    o.Key("seconds");
    o.Number(e.seconds);
    o.Key("icon");
    o.OptionalString(e.icon);
    o.Key("sound");
    o.OptionalString(e.sound);
    o.Key("priority");
    o.Int(e.priority);
  } else {
    o.Key("bold");
    o.Bool(e.bold);
    o.Key("sender");
    o.String(e.sender);
  }
  o.EndObject();
}

void WritePlayer(JsonOut& o, const PlayerDescription& p) {
  o.BeginObject();
  o.Key("eos_id");
  o.String(p.eos_id);
  o.Key("character_name");
  o.String(p.character_name);
  o.Key("player_name");
  o.OptionalString(p.player_name);
  o.Key("player_data_name");
  o.String(p.player_data_name);
  o.Key("player_id");
  o.OptionalInt(p.player_id);
  o.Key("linked_player_data_id");
  o.OptionalInt(p.linked_player_data_id);
  o.Key("team");
  o.Int(p.team);
  o.Key("tribe");
  o.OptionalInt(p.tribe);
  o.Key("position");
  o.Numbers(p.position);
  o.Key("character");
  o.String(p.character == CharacterState::kAlive  ? "alive"
           : p.character == CharacterState::kDead ? "dead"
                                                  : "none");
  o.Key("player_state");
  o.Bool(p.player_state);
  o.Key("pawn");
  o.Bool(p.pawn);
  o.Key("cheat_manager");
  o.Bool(p.cheat_manager);
  o.Key("stale");
  o.Bool(p.stale);
  o.Key("inventory");
  o.BeginArray();
  for (const ItemGift& g : p.inventory) {
    o.BeginObject();
    o.Key("item");
    o.String(g.item);
    o.Key("quantity");
    o.Int(g.quantity);
    o.Key("quality");
    o.Number(g.quality);
    o.Key("blueprint");
    o.Bool(g.blueprint);
    o.EndObject();
  }
  o.EndArray();
  o.Key("experience");
  o.Number(p.experience);
  o.Key("hexagons");
  o.Int(p.hexagons);
  o.Key("armor_sets");
  o.BeginArray();
  for (const auto& [tier, quality] : p.armor_sets) {
    o.BeginArray();
    o.String(tier);
    o.String(quality);
    o.EndArray();
  }
  o.EndArray();
  o.Key("engrams");
  o.Strings(p.engrams);
  o.Key("bosses");
  o.BeginArray();
  for (const BossDefeat& b : p.bosses) {
    o.BeginObject();
    o.Key("boss");
    o.String(b.boss);
    o.Key("difficulty");
    o.Int(b.difficulty);
    o.EndObject();
  }
  o.EndArray();
  o.Key("inbox");
  o.BeginArray();
  for (const InboxEntry& e : p.inbox) WriteInboxEntry(o, e);
  o.EndArray();
  o.Key("script_commands");
  o.Strings(p.script_commands);
  o.Key("tribe_rank");
  o.String(p.tribe_rank);
  o.Key("facial_hair");
  WriteHair(o, p.facial_hair);
  o.Key("head_hair");
  WriteHair(o, p.head_hair);
  o.Key("kick_message");
  o.OptionalString(p.kick_message);
  o.EndObject();
}

// The keys after "food" only when they differ from their defaults.
void WriteDino(JsonOut& o, const DinoDescription& d) {
  o.BeginObject();
  o.Key("class");
  o.String(d.class_name);
  o.Key("id1");
  o.OptionalInt(d.id1);
  o.Key("id2");
  o.OptionalInt(d.id2);
  o.Key("team");
  o.Int(d.team);
  o.Key("name");
  o.OptionalString(d.name);
  o.Key("level");
  o.Int(d.level);
  o.Key("position");
  o.Numbers(d.position);
  o.Key("dead");
  o.Bool(d.dead);
  o.Key("food");
  o.Numbers(d.food);
  if (!d.tamer.empty()) {
    o.Key("tamer");
    o.String(d.tamer);
  }
  if (d.taming_team != 0) {
    o.Key("taming_team");
    o.Int(d.taming_team);
  }
  if (d.experience != 0.0) {
    o.Key("experience");
    o.Number(d.experience);
  }
  if (!d.colours.empty()) {
    o.Key("colours");
    o.BeginArray();
    for (const auto& [region, colour] : d.colours) {
      o.BeginArray();
      o.Int(region);
      o.Int(colour);
      o.EndArray();
    }
    o.EndArray();
  }
  if (d.imprint_quality != 0.0F) {
    o.Key("imprint_quality");
    o.Number(d.imprint_quality);
  }
  if (d.imprinter) {
    o.Key("imprinter");
    o.BeginObject();
    o.Key("name");
    o.String(d.imprinter->name);
    o.Key("player_id");
    o.String(d.imprinter->player_id);
    o.EndObject();
  }
  if (d.neutered) {
    o.Key("neutered");
    o.Bool(true);
  }
  if (!d.playing) {
    o.Key("playing");
    o.Bool(false);
  }
  o.EndObject();
}

void WriteStructure(JsonOut& o, const StructureDescription& s) {
  o.BeginObject();
  o.Key("class");
  o.String(s.class_name);
  o.Key("team");
  o.Int(s.team);
  o.Key("owner");
  o.String(s.owner);
  o.Key("name");
  o.OptionalString(s.name);
  o.Key("consumes_item");
  o.OptionalString(s.consumes_item);
  o.Key("pickup_item");
  o.OptionalString(s.pickup_item);
  o.Key("position");
  o.Numbers(s.position);
  o.EndObject();
}

void WriteActor(JsonOut& o, const ActorDescription& a) {
  o.BeginObject();
  o.Key("class");
  o.String(a.class_name);
  o.Key("kind");
  if (a.kind)
    o.String(ClassKindName(*a.kind));
  else
    o.Null();
  o.Key("team");
  o.Int(a.team);
  o.Key("position");
  o.Numbers(a.position);
  o.EndObject();
}

template <class T, class F>
void WriteList(JsonOut& o, std::string_view key, const std::vector<T>& list, F write_one) {
  o.Key(key);
  o.BeginArray();
  for (const T& element : list) write_one(o, element);
  o.EndArray();
}

}  // namespace

std::string WorldFileText(const WorldDescription& w, int indent, const AllocatorCounts* memory) {
  JsonOut o(indent);
  // More than an indented actor takes (about 400 bytes), so that a big text is never copied
  // as it grows; the pages beyond its end are never touched.
  o.Reserve(4096 + 512 * (w.dinos.size() + w.structures.size() + w.actors.size()) +
            4096 * w.players.size());
  o.BeginObject();
  o.Key("map");
  o.String(w.map);
  o.Key("world");
  o.Bool(w.world);
  o.Key("game_state");
  if (w.game_state) {
    o.BeginObject();
    o.Key("day_time");
    o.String(w.game_state->day_time);
    o.Key("framerate");
    o.Number(w.game_state->framerate);
    o.Key("players_connected");
    o.OptionalInt(w.game_state->players_connected);
    o.EndObject();
  } else {
    o.Null();
  }
  o.Key("world_settings");
  if (w.world_settings) {
    o.BeginObject();
    o.Key("longitude_origin");
    o.Number(w.world_settings->longitude_origin);
    o.Key("latitude_origin");
    o.Number(w.world_settings->latitude_origin);
    o.Key("longitude_scale");
    o.Number(w.world_settings->longitude_scale);
    o.Key("latitude_scale");
    o.Number(w.world_settings->latitude_scale);
    o.EndObject();
  } else {
    o.Null();
  }
  o.Key("save_directory");
  o.String(w.save_directory);
  o.Key("server_cheat_manager");
  o.Bool(w.server_cheat_manager);
  o.Key("tribe_data_struct");
  o.Bool(w.tribe_data_struct);
  WriteList(o, "classes", w.classes, [](JsonOut& out, const ClassDescription& c) {
    out.BeginObject();
    out.Key("name");
    out.String(c.name);
    out.Key("kind");
    out.String(ClassKindName(c.kind));
    out.Key("path");
    out.OptionalString(c.path);
    out.EndObject();
  });
  o.Key("items");
  o.Strings(w.items);
  WriteList(o, "tribes", w.tribes, [](JsonOut& out, const TribeDescription& t) {
    out.BeginObject();
    out.Key("id");
    out.Int(t.id);
    out.Key("name");
    out.String(t.name);
    out.Key("log");
    out.Strings(t.log);
    out.Key("loadable");
    out.Bool(t.loadable);
    out.EndObject();
  });
  WriteList(o, "players", w.players, WritePlayer);
  WriteList(o, "dinos", w.dinos, WriteDino);
  WriteList(o, "structures", w.structures, WriteStructure);
  WriteList(o, "actors", w.actors, WriteActor);
  o.Key("profiles");
  o.Strings(w.profiles);
  o.Key("script_commands");
  o.Strings(w.script_commands);
  if (memory != nullptr) {
    o.Key("memory");
    o.BeginObject();
    o.Key("live_blocks");
    o.Int(memory->live_blocks);
    o.Key("live_bytes");
    o.Int(memory->live_bytes);
    o.EndObject();
  }
  o.EndObject();
  return o.Take();
}

}  // namespace game
