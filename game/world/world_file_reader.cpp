#include "game/world/world_file_reader.h"

#include <initializer_list>
#include <limits>

#include <nlohmann/json.hpp>

#include "game/world/world_json.h"

namespace game {
namespace {

using Json = nlohmann::json;

// A place in the file, such as "players[2].team", made into text only for an error: a world
// of a million actors would otherwise spell out millions of places that no error names.
class Place {
 public:
  Place() = default;  // the top level
  Place(const Place& parent, std::string_view key) : parent_(&parent), key_(key) {}
  Place(const Place& parent, std::size_t index)
      : parent_(&parent), index_(index), is_index_(true) {}

  // Implicit, so that a WorldFileError takes a Place where it takes the text of one.
  operator std::string() const {
    if (parent_ == nullptr) return {};
    const std::string parent = *parent_;
    if (is_index_) return ListPlace(parent, index_);
    return parent.empty() ? std::string(key_) : parent + "." + std::string(key_);
  }

 private:
  const Place* parent_ = nullptr;
  std::string_view key_;
  std::size_t index_ = 0;
  bool is_index_ = false;
};

// Typed reads of one JSON value at a named place.
// Takes the text out of the parsed value, which is read once.
std::string ReadString(Json& j, const Place& place) {
  if (!j.is_string()) throw WorldFileError(place, "expected a string");
  return std::move(j.get_ref<std::string&>());
}

bool ReadBool(Json& j, const Place& place) {
  if (!j.is_boolean()) throw WorldFileError(place, "expected a boolean");
  return j.get<bool>();
}

template <class T>
T ReadInteger(Json& j, const Place& place) {
  if (!j.is_number_integer()) throw WorldFileError(place, "expected an integer");
  const bool fits =
      j.is_number_unsigned()
          ? j.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<T>::max())
      : std::numeric_limits<T>::is_signed
          ? j.get<int64_t>() >= static_cast<int64_t>(std::numeric_limits<T>::min()) &&
                j.get<int64_t>() <= static_cast<int64_t>(std::numeric_limits<T>::max())
          : j.get<int64_t>() >= 0 &&
                static_cast<uint64_t>(j.get<int64_t>()) <= std::numeric_limits<T>::max();
  if (!fits) {
    throw WorldFileError(place, "integer out of range " +
                                    std::to_string(std::numeric_limits<T>::min()) + ".." +
                                    std::to_string(std::numeric_limits<T>::max()));
  }
  return j.is_number_unsigned() ? static_cast<T>(j.get<uint64_t>())
                                : static_cast<T>(j.get<int64_t>());
}

double ReadNumber(Json& j, const Place& place) {
  if (!IsWorldNumber(j))
    throw WorldFileError(place, "expected a number (or \"nan\", \"inf\", \"-inf\")");
  return WorldNumber(j);
}

float ReadFloat(Json& j, const Place& place) { return static_cast<float>(ReadNumber(j, place)); }

Json& ReadArray(Json& j, const Place& place, std::size_t size = 0) {
  if (!j.is_array()) throw WorldFileError(place, "expected an array");
  if (size != 0 && j.size() != size)
    throw WorldFileError(place, "expected an array of " + std::to_string(size) + " numbers");
  return j;
}

Position ReadPosition(Json& j, const Place& place) {
  ReadArray(j, place, 3);
  return {ReadNumber(j[0], Place(place, 0)), ReadNumber(j[1], Place(place, 1)),
          ReadNumber(j[2], Place(place, 2))};
}

std::vector<std::string> ReadStrings(Json& j, const Place& place) {
  ReadArray(j, place);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < j.size(); ++i) out.push_back(ReadString(j[i], Place(place, i)));
  return out;
}

template <class Enum>
Enum ReadChoice(Json& j, const Place& place,
                std::initializer_list<std::pair<const char*, Enum>> choices) {
  const std::string text = ReadString(j, place);
  std::string names;
  for (const auto& [name, value] : choices) {
    if (text == name) return value;
    names += names.empty() ? name : std::string(", ") + name;
  }
  throw WorldFileError(place, "expected one of " + names);
}

// An object whose keys are checked against the known ones. With runs `read` on a present key;
// Optional reads a key that may also be null, which leaves the value empty.
class ObjectReader {
 public:
  ObjectReader(Json& j, const Place& place, std::initializer_list<std::string_view> known)
      : j_(j), place_(place) {
    if (!j.is_object()) throw WorldFileError(place_, "expected an object");
    for (const auto& [key, value] : j.items()) {
      bool ok = false;
      for (std::string_view k : known) ok = ok || key == k;
      if (!ok) throw WorldFileError(At(key), "unknown key; allowed here: " + Listed(known));
    }
  }
  Place At(std::string_view key) const { return Place(place_, key); }
  Json* Get(std::string_view key) const {
    auto it = j_.find(key);
    return it == j_.end() ? nullptr : &*it;
  }
  template <class F>
  void With(std::string_view key, F read) const {
    if (Json* value = Get(key)) read(*value, At(key));
  }
  template <class T, class F>
  void Optional(std::string_view key, std::optional<T>& out, F read) const {
    With(key, [&](Json& v, const Place& at) {
      if (v.is_null())
        out.reset();
      else
        out = read(v, at);
    });
  }

 private:
  static std::string Listed(std::initializer_list<std::string_view> known) {
    std::string text;
    for (std::string_view k : known) text += (text.empty() ? "" : ", ") + std::string(k);
    return text;
  }

  Json& j_;
  Place place_;
};

constexpr std::initializer_list<std::pair<const char*, ClassKind>> kClassKinds = {
    {"dino", ClassKind::kDino},
    {"structure", ClassKind::kStructure},
    {"pawn", ClassKind::kPawn},
    {"actor", ClassKind::kActor},
    {"item", ClassKind::kItem}};

ClassDescription ReadClass(Json& j, const Place& place) {
  ObjectReader r(j, place, {"name", "kind", "path"});
  ClassDescription c;
  r.With("name", [&](Json& v, const Place& at) { c.name = ReadString(v, at); });
  r.With("kind", [&](Json& v, const Place& at) { c.kind = ReadChoice(v, at, kClassKinds); });
  r.Optional("path", c.path, ReadString);
  if (!r.Get("name")) throw WorldFileError(place, "a class needs a name");
  return c;
}

TribeDescription ReadTribe(Json& j, const Place& place) {
  ObjectReader r(j, place, {"id", "name", "log", "loadable"});
  TribeDescription t;
  r.With("id", [&](Json& v, const Place& at) { t.id = ReadInteger<int32_t>(v, at); });
  r.With("name", [&](Json& v, const Place& at) { t.name = ReadString(v, at); });
  r.With("log", [&](Json& v, const Place& at) { t.log = ReadStrings(v, at); });
  r.With("loadable", [&](Json& v, const Place& at) { t.loadable = ReadBool(v, at); });
  return t;
}

HairStyle ReadHair(Json& j, const Place& place) {
  ObjectReader r(j, place, {"percent", "style"});
  HairStyle h;
  r.With("percent", [&](Json& v, const Place& at) { h.percent = ReadFloat(v, at); });
  r.With("style", [&](Json& v, const Place& at) { h.style = ReadInteger<int32_t>(v, at); });
  return h;
}

Colour ReadColour(Json& j, const Place& place) {
  ReadArray(j, place, 4);
  Colour c{};
  for (std::size_t i = 0; i < 4; ++i) c[i] = ReadFloat(j[i], Place(place, i));
  return c;
}

InboxEntry ReadInboxEntry(Json& j, const Place& place) {
  ObjectReader r(j, place,
                 {"kind",
                  "text",
                  "sender",
                  "sender_account",
                  "sender_tribe",
                  "sender_id",
                  "receiver",
                  "sender_team",
                  "received_time",
                  "send_mode",
                  "radio_frequency",
                  "chat_type",
                  "sender_icon",
                  "from_server",
                  "user_id",
                  "colour",
                  "scale",
                  "seconds",
                  "icon",
                  "sound",
                  "priority",
                  "bold"});
  InboxEntry e;
  using S = const Place;
  r.With("kind", [&](Json& v, S& at) {
    e.kind = ReadString(v, at);
    if (e.kind != "chat" && e.kind != "notification" && e.kind != "direct")
      throw WorldFileError(at, "expected one of chat, notification, direct");
  });
  r.With("text", [&](Json& v, S& at) { e.text = ReadString(v, at); });
  r.With("sender", [&](Json& v, S& at) { e.sender = ReadString(v, at); });
  r.With("sender_account", [&](Json& v, S& at) { e.sender_account = ReadString(v, at); });
  r.With("sender_tribe", [&](Json& v, S& at) { e.sender_tribe = ReadString(v, at); });
  r.With("sender_id", [&](Json& v, S& at) { e.sender_id = ReadInteger<uint32_t>(v, at); });
  r.With("receiver", [&](Json& v, S& at) { e.receiver = ReadString(v, at); });
  r.With("sender_team", [&](Json& v, S& at) { e.sender_team = ReadInteger<int32_t>(v, at); });
  r.With("received_time", [&](Json& v, S& at) { e.received_time = ReadNumber(v, at); });
  r.With("send_mode", [&](Json& v, S& at) { e.send_mode = ReadInteger<uint8_t>(v, at); });
  r.With("radio_frequency",
         [&](Json& v, S& at) { e.radio_frequency = ReadInteger<uint32_t>(v, at); });
  r.With("chat_type", [&](Json& v, S& at) { e.chat_type = ReadInteger<uint8_t>(v, at); });
  r.Optional("sender_icon", e.sender_icon, ReadString);
  r.With("from_server", [&](Json& v, S& at) { e.from_server = ReadInteger<uint8_t>(v, at); });
  r.With("user_id", [&](Json& v, S& at) { e.user_id = ReadString(v, at); });
  r.Optional("colour", e.colour, ReadColour);
  r.With("scale", [&](Json& v, S& at) { e.scale = ReadFloat(v, at); });
  r.With("seconds", [&](Json& v, S& at) { e.seconds = ReadFloat(v, at); });
  r.Optional("icon", e.icon, ReadString);
  r.Optional("sound", e.sound, ReadString);
  r.With("priority", [&](Json& v, S& at) { e.priority = ReadInteger<int32_t>(v, at); });
  r.With("bold", [&](Json& v, S& at) { e.bold = ReadBool(v, at); });
  if (e.kind.empty()) throw WorldFileError(place, "an inbox entry needs a kind");
  return e;
}

template <class T, class F>
std::vector<T> ReadList(Json& j, const Place& place, F read_one) {
  ReadArray(j, place);
  std::vector<T> out;
  out.reserve(j.size());
  for (std::size_t i = 0; i < j.size(); ++i) out.push_back(read_one(j[i], Place(place, i)));
  return out;
}

PlayerDescription ReadPlayer(Json& j, const Place& place) {
  ObjectReader r(j, place, {"eos_id",        "character_name",
                            "player_name",   "player_data_name",
                            "player_id",     "linked_player_data_id",
                            "team",          "tribe",
                            "position",      "character",
                            "player_state",  "pawn",
                            "cheat_manager", "stale",
                            "inventory",     "experience",
                            "hexagons",      "armor_sets",
                            "engrams",       "bosses",
                            "inbox",         "script_commands",
                            "tribe_rank",    "facial_hair",
                            "head_hair",     "kick_message"});
  PlayerDescription p;
  using S = const Place;
  r.With("eos_id", [&](Json& v, S& at) { p.eos_id = ReadString(v, at); });
  r.With("character_name", [&](Json& v, S& at) { p.character_name = ReadString(v, at); });
  r.With("player_data_name", [&](Json& v, S& at) { p.player_data_name = ReadString(v, at); });
  r.Optional("player_name", p.player_name, ReadString);
  r.Optional("player_id", p.player_id, ReadInteger<uint64_t>);
  r.Optional("linked_player_data_id", p.linked_player_data_id, ReadInteger<uint64_t>);
  r.Optional("tribe", p.tribe, ReadInteger<int32_t>);
  // A player in a tribe has the tribe's id as team: given the tribe, the team follows.
  p.team = p.tribe.value_or(0);
  r.With("team", [&](Json& v, S& at) { p.team = ReadInteger<int32_t>(v, at); });
  r.With("position", [&](Json& v, S& at) { p.position = ReadPosition(v, at); });
  r.With("character", [&](Json& v, S& at) {
    p.character = ReadChoice<CharacterState>(v, at,
                                             {{"alive", CharacterState::kAlive},
                                              {"dead", CharacterState::kDead},
                                              {"none", CharacterState::kNone}});
  });
  r.With("player_state", [&](Json& v, S& at) { p.player_state = ReadBool(v, at); });
  r.With("pawn", [&](Json& v, S& at) { p.pawn = ReadBool(v, at); });
  r.With("cheat_manager", [&](Json& v, S& at) { p.cheat_manager = ReadBool(v, at); });
  r.With("stale", [&](Json& v, S& at) { p.stale = ReadBool(v, at); });
  r.With("inventory", [&](Json& v, S& at) {
    p.inventory = ReadList<ItemGift>(v, at, [](Json& e, S& place) {
      ObjectReader g(e, place, {"item", "quantity", "quality", "blueprint"});
      ItemGift gift;
      g.With("item", [&](Json& x, S& a) { gift.item = ReadString(x, a); });
      g.With("quantity", [&](Json& x, S& a) { gift.quantity = ReadInteger<int32_t>(x, a); });
      g.With("quality", [&](Json& x, S& a) { gift.quality = ReadFloat(x, a); });
      g.With("blueprint", [&](Json& x, S& a) { gift.blueprint = ReadBool(x, a); });
      return gift;
    });
  });
  r.With("experience", [&](Json& v, S& at) { p.experience = ReadNumber(v, at); });
  r.With("hexagons", [&](Json& v, S& at) { p.hexagons = ReadInteger<int64_t>(v, at); });
  r.With("armor_sets", [&](Json& v, S& at) {
    p.armor_sets = ReadList<std::pair<std::string, std::string>>(v, at, [](Json& e, S& place) {
      if (!e.is_array() || e.size() != 2) throw WorldFileError(place, "expected [tier, quality]");
      return std::pair{ReadString(e[0], Place(place, 0)), ReadString(e[1], Place(place, 1))};
    });
  });
  r.With("engrams", [&](Json& v, S& at) { p.engrams = ReadStrings(v, at); });
  r.With("bosses", [&](Json& v, S& at) {
    p.bosses = ReadList<BossDefeat>(v, at, [](Json& e, S& place) {
      ObjectReader b(e, place, {"boss", "difficulty"});
      BossDefeat boss;
      b.With("boss", [&](Json& x, S& a) { boss.boss = ReadString(x, a); });
      b.With("difficulty", [&](Json& x, S& a) { boss.difficulty = ReadInteger<int32_t>(x, a); });
      return boss;
    });
  });
  r.With("inbox", [&](Json& v, S& at) { p.inbox = ReadList<InboxEntry>(v, at, ReadInboxEntry); });
  r.With("script_commands", [&](Json& v, S& at) { p.script_commands = ReadStrings(v, at); });
  r.With("tribe_rank", [&](Json& v, S& at) {
    p.tribe_rank = ReadString(v, at);
    if (p.tribe_rank != "member" && p.tribe_rank != "admin" && p.tribe_rank != "founder")
      throw WorldFileError(at, "expected one of member, admin, founder");
  });
  r.Optional("facial_hair", p.facial_hair, ReadHair);
  r.Optional("head_hair", p.head_hair, ReadHair);
  r.Optional("kick_message", p.kick_message, ReadString);
  return p;
}

DinoDescription ReadDino(Json& j, const Place& place) {
  ObjectReader r(j, place,
                 {"class", "id1", "id2", "team", "name", "level", "position", "dead", "food",
                  "tamer", "taming_team", "experience", "colours", "imprint_quality", "imprinter",
                  "neutered", "playing"});
  DinoDescription d;
  using S = const Place;
  r.With("class", [&](Json& v, S& at) { d.class_name = ReadString(v, at); });
  r.Optional("id1", d.id1, ReadInteger<uint32_t>);
  r.Optional("id2", d.id2, ReadInteger<uint32_t>);
  r.With("team", [&](Json& v, S& at) { d.team = ReadInteger<int32_t>(v, at); });
  r.Optional("name", d.name, ReadString);
  r.With("level", [&](Json& v, S& at) { d.level = ReadInteger<int32_t>(v, at); });
  r.With("position", [&](Json& v, S& at) { d.position = ReadPosition(v, at); });
  r.With("dead", [&](Json& v, S& at) { d.dead = ReadBool(v, at); });
  r.With("food", [&](Json& v, S& at) {
    ReadArray(v, at, 2);
    d.food = {ReadFloat(v[0], Place(at, 0)), ReadFloat(v[1], Place(at, 1))};
  });
  r.With("tamer", [&](Json& v, S& at) { d.tamer = ReadString(v, at); });
  r.With("taming_team", [&](Json& v, S& at) { d.taming_team = ReadInteger<int32_t>(v, at); });
  r.With("experience", [&](Json& v, S& at) { d.experience = ReadNumber(v, at); });
  r.With("colours", [&](Json& v, S& at) {
    d.colours = ReadList<std::pair<int32_t, int32_t>>(v, at, [](Json& e, S& p) {
      if (!e.is_array() || e.size() != 2) throw WorldFileError(p, "expected [region, colour]");
      return std::pair{ReadInteger<int32_t>(e[0], Place(p, 0)),
                       ReadInteger<int32_t>(e[1], Place(p, 1))};
    });
  });
  r.With("imprint_quality", [&](Json& v, S& at) { d.imprint_quality = ReadFloat(v, at); });
  r.Optional("imprinter", d.imprinter, [](Json& v, S& at) {
    ObjectReader i(v, at, {"name", "player_id"});
    Imprinter imprinter;
    i.With("name", [&](Json& x, S& a) { imprinter.name = ReadString(x, a); });
    i.With("player_id", [&](Json& x, S& a) { imprinter.player_id = ReadString(x, a); });
    return imprinter;
  });
  r.With("neutered", [&](Json& v, S& at) { d.neutered = ReadBool(v, at); });
  r.With("playing", [&](Json& v, S& at) { d.playing = ReadBool(v, at); });
  return d;
}

StructureDescription ReadStructure(Json& j, const Place& place) {
  ObjectReader r(j, place,
                 {"class", "team", "owner", "name", "consumes_item", "pickup_item", "position"});
  StructureDescription s;
  using S = const Place;
  r.With("class", [&](Json& v, S& at) { s.class_name = ReadString(v, at); });
  r.With("team", [&](Json& v, S& at) { s.team = ReadInteger<int32_t>(v, at); });
  r.With("owner", [&](Json& v, S& at) { s.owner = ReadString(v, at); });
  r.Optional("name", s.name, ReadString);
  r.Optional("consumes_item", s.consumes_item, ReadString);
  r.Optional("pickup_item", s.pickup_item, ReadString);
  r.With("position", [&](Json& v, S& at) { s.position = ReadPosition(v, at); });
  return s;
}

ActorDescription ReadActor(Json& j, const Place& place) {
  ObjectReader r(j, place, {"class", "kind", "team", "position"});
  ActorDescription a;
  using S = const Place;
  r.With("class", [&](Json& v, S& at) { a.class_name = ReadString(v, at); });
  r.Optional("kind", a.kind, [](Json& v, S& at) {
    return ReadChoice<ClassKind>(v, at, {{"actor", ClassKind::kActor}, {"pawn", ClassKind::kPawn}});
  });
  r.With("team", [&](Json& v, S& at) { a.team = ReadInteger<int32_t>(v, at); });
  r.With("position", [&](Json& v, S& at) { a.position = ReadPosition(v, at); });
  return a;
}

// The lists that hold nearly all of a big world, read element by element while the text is
// parsed.
class EntityLists : public WorldJsonLists {
 public:
  bool Takes(std::string_view key) const override {
    return key == "dinos" || key == "structures" || key == "actors";
  }
  void Element(std::string_view key, std::size_t index, Json& element) override {
    const Place top;
    const Place list(top, key);
    const Place at(list, index);
    if (key == "dinos")
      dinos.push_back(ReadDino(element, at));
    else if (key == "structures")
      structures.push_back(ReadStructure(element, at));
    else
      actors.push_back(ReadActor(element, at));
  }

  std::vector<DinoDescription> dinos;
  std::vector<StructureDescription> structures;
  std::vector<ActorDescription> actors;
};

WorldDescription ReadWorld(Json& j) {
  ObjectReader r(
      j, Place(),
      {"map", "world", "game_state", "world_settings", "save_directory", "server_cheat_manager",
       "tribe_data_struct", "classes", "items", "tribes", "players", "dinos", "structures",
       "actors", "profiles", "script_commands", "memory"});
  WorldDescription w;
  using S = const Place;
  r.With("map", [&](Json& v, S& at) { w.map = ReadString(v, at); });
  r.With("world", [&](Json& v, S& at) { w.world = ReadBool(v, at); });
  r.Optional("game_state", w.game_state, [](Json& v, S& at) {
    ObjectReader g(v, at, {"day_time", "framerate", "players_connected"});
    GameStateDescription state;
    g.With("day_time", [&](Json& x, S& a) { state.day_time = ReadString(x, a); });
    g.With("framerate", [&](Json& x, S& a) { state.framerate = ReadFloat(x, a); });
    g.Optional("players_connected", state.players_connected, ReadInteger<int32_t>);
    return state;
  });
  r.Optional("world_settings", w.world_settings, [](Json& v, S& at) {
    ObjectReader s(v, at,
                   {"longitude_origin", "latitude_origin", "longitude_scale", "latitude_scale"});
    WorldSettingsDescription settings;
    s.With("longitude_origin", [&](Json& x, S& a) { settings.longitude_origin = ReadFloat(x, a); });
    s.With("latitude_origin", [&](Json& x, S& a) { settings.latitude_origin = ReadFloat(x, a); });
    s.With("longitude_scale", [&](Json& x, S& a) { settings.longitude_scale = ReadFloat(x, a); });
    s.With("latitude_scale", [&](Json& x, S& a) { settings.latitude_scale = ReadFloat(x, a); });
    return settings;
  });
  r.With("save_directory", [&](Json& v, S& at) { w.save_directory = ReadString(v, at); });
  r.With("server_cheat_manager", [&](Json& v, S& at) { w.server_cheat_manager = ReadBool(v, at); });
  r.With("tribe_data_struct", [&](Json& v, S& at) { w.tribe_data_struct = ReadBool(v, at); });
  r.With("classes",
         [&](Json& v, S& at) { w.classes = ReadList<ClassDescription>(v, at, ReadClass); });
  r.With("items", [&](Json& v, S& at) { w.items = ReadStrings(v, at); });
  r.With("tribes",
         [&](Json& v, S& at) { w.tribes = ReadList<TribeDescription>(v, at, ReadTribe); });
  r.With("players",
         [&](Json& v, S& at) { w.players = ReadList<PlayerDescription>(v, at, ReadPlayer); });
  r.With("dinos", [&](Json& v, S& at) { w.dinos = ReadList<DinoDescription>(v, at, ReadDino); });
  r.With("structures", [&](Json& v, S& at) {
    w.structures = ReadList<StructureDescription>(v, at, ReadStructure);
  });
  r.With("actors",
         [&](Json& v, S& at) { w.actors = ReadList<ActorDescription>(v, at, ReadActor); });
  r.With("profiles", [&](Json& v, S& at) { w.profiles = ReadStrings(v, at); });
  r.With("script_commands", [&](Json& v, S& at) { w.script_commands = ReadStrings(v, at); });
  r.With("memory", [&](Json& v, S& at) {
    ObjectReader m(v, at, {"live_blocks", "live_bytes"});
    m.With("live_blocks", [&](Json& x, S& a) { ReadInteger<int64_t>(x, a); });
    m.With("live_bytes", [&](Json& x, S& a) { ReadInteger<int64_t>(x, a); });
  });
  return w;
}

}  // namespace

WorldDescription ParseWorldFile(std::string_view text) {
  EntityLists lists;
  Json j;
  try {
    j = ParseWorldJson(text, &lists);
  } catch (const WorldFileError&) {
    // The lists are read before the rest, so their first error need not be the first error of a
    // whole read, which is the one to report: read it that way.
    Json whole = ParseWorldJson(text);
    return ReadWorld(whole);
  }
  // The lists read without error, so the rest reads as it would in a whole read.
  WorldDescription w = ReadWorld(j);
  w.dinos = std::move(lists.dinos);
  w.structures = std::move(lists.structures);
  w.actors = std::move(lists.actors);
  return w;
}

}  // namespace game
