// The world file's keys, beyond those of a hand-written world, that the state export adds for
// what game functions recorded (every one of them loads back):
//
//   top level   "script_commands": [text]        ScriptCommand on the server's cheat manager
//               "memory": {"live_blocks", "live_bytes"}   written by the export, ignored here
//   players[]   "inventory": [{"item", "quantity", "quality", "blueprint"}]
//                                                 GiveItem / GiveItemNum, in order of giving
//               "experience": number              sum of AddExperience amounts
//               "hexagons": integer               sum of GiveHexagons amounts
//               "armor_sets": [[tier, quality]]   GiveArmorSet
//               "engrams": [path]                 UnlockEngram
//               "bosses": [{"boss", "difficulty"}]  DefeatBoss
//               "inbox": [{"kind": "chat"|"notification"|"direct", "sender", "text",
//                          "colour": [r, g, b, a], "scale", "seconds", "bold"}]
//                                                 chat lines, notifications, direct messages
//               "script_commands": [text]         ScriptCommand on the player's cheat manager
//               "tribe_rank": "member"|"admin"|"founder"   MakeTribeAdmin / MakeTribeFounder
//               "facial_hair", "head_hair": {"percent", "style"} or null
//               "kick_message": text or null      KickPlayerController
//   dinos[]     "tamer", "taming_team", "experience", "colours": [[region, colour]],
//               "imprint_quality", "imprinter": {"name", "player_id"} or null, "neutered",
//               "playing" (false for a spawned dino whose play has not begun)
//               Written only when they differ from their defaults ("", 0, 0, [], 0, null,
//               false, true), so a world of many dinos stays readable.
#include "game/world/world_file.h"

#include <initializer_list>
#include <limits>
#include <map>
#include <set>
#include <unordered_set>

namespace game {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

[[noreturn]] void Fail(const std::string& place, const std::string& message) {
  throw WorldFileError(place + ": " + message);
}

std::string Index(const std::string& place, std::size_t i) {
  return place + "[" + std::to_string(i) + "]";
}

// Typed reads of one JSON value at a named place.
std::string ReadString(const Json& j, const std::string& place) {
  if (!j.is_string()) Fail(place, "expected a string");
  return j.get<std::string>();
}

std::optional<std::string> ReadOptionalString(const Json& j, const std::string& place) {
  if (j.is_null()) return std::nullopt;
  return ReadString(j, place);
}

bool ReadBool(const Json& j, const std::string& place) {
  if (!j.is_boolean()) Fail(place, "expected a boolean");
  return j.get<bool>();
}

template <class T>
T ReadInteger(const Json& j, const std::string& place) {
  if (!j.is_number_integer()) Fail(place, "expected an integer");
  const bool fits =
      j.is_number_unsigned()
          ? j.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<T>::max())
      : std::numeric_limits<T>::is_signed
          ? j.get<int64_t>() >= static_cast<int64_t>(std::numeric_limits<T>::min()) &&
                j.get<int64_t>() <= static_cast<int64_t>(std::numeric_limits<T>::max())
          : j.get<int64_t>() >= 0 &&
                static_cast<uint64_t>(j.get<int64_t>()) <= std::numeric_limits<T>::max();
  if (!fits) {
    Fail(place, "integer out of range " + std::to_string(std::numeric_limits<T>::min()) + ".." +
                    std::to_string(std::numeric_limits<T>::max()));
  }
  return j.is_number_unsigned() ? static_cast<T>(j.get<uint64_t>())
                                : static_cast<T>(j.get<int64_t>());
}

double ReadNumber(const Json& j, const std::string& place) {
  if (!j.is_number()) Fail(place, "expected a number");
  return j.get<double>();
}

float ReadFloat(const Json& j, const std::string& place) {
  return static_cast<float>(ReadNumber(j, place));
}

const Json& ReadArray(const Json& j, const std::string& place, std::size_t size = 0) {
  if (!j.is_array()) Fail(place, "expected an array");
  if (size != 0 && j.size() != size)
    Fail(place, "expected an array of " + std::to_string(size) + " numbers");
  return j;
}

Position ReadPosition(const Json& j, const std::string& place) {
  ReadArray(j, place, 3);
  return {ReadNumber(j[0], Index(place, 0)), ReadNumber(j[1], Index(place, 1)),
          ReadNumber(j[2], Index(place, 2))};
}

std::vector<std::string> ReadStrings(const Json& j, const std::string& place) {
  ReadArray(j, place);
  std::vector<std::string> out;
  for (std::size_t i = 0; i < j.size(); ++i) out.push_back(ReadString(j[i], Index(place, i)));
  return out;
}

template <class Enum>
Enum ReadChoice(const Json& j, const std::string& place,
                std::initializer_list<std::pair<const char*, Enum>> choices) {
  const std::string text = ReadString(j, place);
  std::string names;
  for (const auto& [name, value] : choices) {
    if (text == name) return value;
    names += names.empty() ? name : std::string(", ") + name;
  }
  Fail(place, "expected one of " + names);
}

// An object whose keys are checked against the known ones; Each runs `read` on present keys.
class ObjectReader {
 public:
  ObjectReader(const Json& j, std::string place, std::initializer_list<std::string_view> known)
      : j_(j), place_(std::move(place)) {
    if (!j.is_object()) Fail(place_, "expected an object");
    for (const auto& [key, value] : j.items()) {
      bool ok = false;
      for (std::string_view k : known) ok = ok || key == k;
      if (!ok) Fail(At(key), "unknown key");
    }
  }
  std::string At(std::string_view key) const {
    return place_.empty() ? std::string(key) : place_ + "." + std::string(key);
  }
  const Json* Get(std::string_view key) const {
    auto it = j_.find(key);
    return it == j_.end() ? nullptr : &*it;
  }
  template <class F>
  void With(std::string_view key, F read) const {
    if (const Json* value = Get(key)) read(*value, At(key));
  }

 private:
  const Json& j_;
  std::string place_;
};

constexpr std::initializer_list<std::pair<const char*, ClassKind>> kClassKinds = {
    {"dino", ClassKind::kDino},
    {"structure", ClassKind::kStructure},
    {"pawn", ClassKind::kPawn},
    {"actor", ClassKind::kActor},
    {"item", ClassKind::kItem}};

ClassDescription ReadClass(const Json& j, const std::string& place) {
  ObjectReader r(j, place, {"name", "kind", "path"});
  ClassDescription c;
  r.With("name", [&](const Json& v, const std::string& at) { c.name = ReadString(v, at); });
  r.With("kind",
         [&](const Json& v, const std::string& at) { c.kind = ReadChoice(v, at, kClassKinds); });
  r.With("path", [&](const Json& v, const std::string& at) { c.path = ReadOptionalString(v, at); });
  if (!r.Get("name")) Fail(place, "a class needs a name");
  return c;
}

TribeDescription ReadTribe(const Json& j, const std::string& place) {
  ObjectReader r(j, place, {"id", "name", "log", "loadable"});
  TribeDescription t;
  r.With("id", [&](const Json& v, const std::string& at) { t.id = ReadInteger<int32_t>(v, at); });
  r.With("name", [&](const Json& v, const std::string& at) { t.name = ReadString(v, at); });
  r.With("log", [&](const Json& v, const std::string& at) { t.log = ReadStrings(v, at); });
  r.With("loadable", [&](const Json& v, const std::string& at) { t.loadable = ReadBool(v, at); });
  return t;
}

HairStyle ReadHair(const Json& j, const std::string& place) {
  ObjectReader r(j, place, {"percent", "style"});
  HairStyle h;
  r.With("percent", [&](const Json& v, const std::string& at) { h.percent = ReadFloat(v, at); });
  r.With("style",
         [&](const Json& v, const std::string& at) { h.style = ReadInteger<int32_t>(v, at); });
  return h;
}

Colour ReadColour(const Json& j, const std::string& place) {
  ReadArray(j, place, 4);
  Colour c{};
  for (std::size_t i = 0; i < 4; ++i) c[i] = ReadFloat(j[i], Index(place, i));
  return c;
}

InboxEntry ReadInboxEntry(const Json& j, const std::string& place) {
  ObjectReader r(j, place, {"kind", "sender", "text", "colour", "scale", "seconds", "bold"});
  InboxEntry e;
  r.With("kind", [&](const Json& v, const std::string& at) {
    e.kind = ReadString(v, at);
    if (e.kind != "chat" && e.kind != "notification" && e.kind != "direct")
      Fail(at, "expected one of chat, notification, direct");
  });
  r.With("sender", [&](const Json& v, const std::string& at) { e.sender = ReadString(v, at); });
  r.With("text", [&](const Json& v, const std::string& at) { e.text = ReadString(v, at); });
  r.With("colour", [&](const Json& v, const std::string& at) {
    if (!v.is_null()) e.colour = ReadColour(v, at);
  });
  r.With("scale", [&](const Json& v, const std::string& at) { e.scale = ReadFloat(v, at); });
  r.With("seconds", [&](const Json& v, const std::string& at) { e.seconds = ReadFloat(v, at); });
  r.With("bold", [&](const Json& v, const std::string& at) { e.bold = ReadBool(v, at); });
  if (e.kind.empty()) Fail(place, "an inbox entry needs a kind");
  return e;
}

template <class T, class F>
std::vector<T> ReadList(const Json& j, const std::string& place, F read_one) {
  ReadArray(j, place);
  std::vector<T> out;
  out.reserve(j.size());
  for (std::size_t i = 0; i < j.size(); ++i) out.push_back(read_one(j[i], Index(place, i)));
  return out;
}

PlayerDescription ReadPlayer(const Json& j, const std::string& place) {
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
  using S = const std::string;
  r.With("eos_id", [&](const Json& v, S& at) { p.eos_id = ReadString(v, at); });
  r.With("character_name", [&](const Json& v, S& at) { p.character_name = ReadString(v, at); });
  r.With("player_data_name", [&](const Json& v, S& at) { p.player_data_name = ReadString(v, at); });
  r.With("player_name", [&](const Json& v, S& at) { p.player_name = ReadOptionalString(v, at); });
  r.With("player_id", [&](const Json& v, S& at) {
    if (!v.is_null()) p.player_id = ReadInteger<uint64_t>(v, at);
  });
  r.With("linked_player_data_id", [&](const Json& v, S& at) {
    if (!v.is_null()) p.linked_player_data_id = ReadInteger<uint64_t>(v, at);
  });
  r.With("team", [&](const Json& v, S& at) { p.team = ReadInteger<int32_t>(v, at); });
  r.With("tribe", [&](const Json& v, S& at) {
    if (!v.is_null()) p.tribe = ReadInteger<int32_t>(v, at);
  });
  r.With("position", [&](const Json& v, S& at) { p.position = ReadPosition(v, at); });
  r.With("character", [&](const Json& v, S& at) {
    p.character = ReadChoice<CharacterState>(v, at,
                                             {{"alive", CharacterState::kAlive},
                                              {"dead", CharacterState::kDead},
                                              {"none", CharacterState::kNone}});
  });
  r.With("player_state", [&](const Json& v, S& at) { p.player_state = ReadBool(v, at); });
  r.With("pawn", [&](const Json& v, S& at) { p.pawn = ReadBool(v, at); });
  r.With("cheat_manager", [&](const Json& v, S& at) { p.cheat_manager = ReadBool(v, at); });
  r.With("stale", [&](const Json& v, S& at) { p.stale = ReadBool(v, at); });
  r.With("inventory", [&](const Json& v, S& at) {
    p.inventory = ReadList<ItemGift>(v, at, [](const Json& e, S& place) {
      ObjectReader g(e, place, {"item", "quantity", "quality", "blueprint"});
      ItemGift gift;
      g.With("item", [&](const Json& x, S& a) { gift.item = ReadString(x, a); });
      g.With("quantity", [&](const Json& x, S& a) { gift.quantity = ReadInteger<int32_t>(x, a); });
      g.With("quality", [&](const Json& x, S& a) { gift.quality = ReadFloat(x, a); });
      g.With("blueprint", [&](const Json& x, S& a) { gift.blueprint = ReadBool(x, a); });
      return gift;
    });
  });
  r.With("experience", [&](const Json& v, S& at) { p.experience = ReadNumber(v, at); });
  r.With("hexagons", [&](const Json& v, S& at) { p.hexagons = ReadInteger<int64_t>(v, at); });
  r.With("armor_sets", [&](const Json& v, S& at) {
    p.armor_sets =
        ReadList<std::pair<std::string, std::string>>(v, at, [](const Json& e, S& place) {
          if (!e.is_array() || e.size() != 2) Fail(place, "expected [tier, quality]");
          return std::pair{ReadString(e[0], Index(place, 0)), ReadString(e[1], Index(place, 1))};
        });
  });
  r.With("engrams", [&](const Json& v, S& at) { p.engrams = ReadStrings(v, at); });
  r.With("bosses", [&](const Json& v, S& at) {
    p.bosses = ReadList<BossDefeat>(v, at, [](const Json& e, S& place) {
      ObjectReader b(e, place, {"boss", "difficulty"});
      BossDefeat boss;
      b.With("boss", [&](const Json& x, S& a) { boss.boss = ReadString(x, a); });
      b.With("difficulty",
             [&](const Json& x, S& a) { boss.difficulty = ReadInteger<int32_t>(x, a); });
      return boss;
    });
  });
  r.With("inbox",
         [&](const Json& v, S& at) { p.inbox = ReadList<InboxEntry>(v, at, ReadInboxEntry); });
  r.With("script_commands", [&](const Json& v, S& at) { p.script_commands = ReadStrings(v, at); });
  r.With("tribe_rank", [&](const Json& v, S& at) {
    p.tribe_rank = ReadString(v, at);
    if (p.tribe_rank != "member" && p.tribe_rank != "admin" && p.tribe_rank != "founder")
      Fail(at, "expected one of member, admin, founder");
  });
  r.With("facial_hair", [&](const Json& v, S& at) {
    if (!v.is_null()) p.facial_hair = ReadHair(v, at);
  });
  r.With("head_hair", [&](const Json& v, S& at) {
    if (!v.is_null()) p.head_hair = ReadHair(v, at);
  });
  r.With("kick_message", [&](const Json& v, S& at) { p.kick_message = ReadOptionalString(v, at); });
  return p;
}

DinoDescription ReadDino(const Json& j, const std::string& place) {
  ObjectReader r(j, place,
                 {"class", "id1", "id2", "team", "name", "level", "position", "dead", "food",
                  "tamer", "taming_team", "experience", "colours", "imprint_quality", "imprinter",
                  "neutered", "playing"});
  DinoDescription d;
  using S = const std::string;
  r.With("class", [&](const Json& v, S& at) { d.class_name = ReadString(v, at); });
  r.With("id1", [&](const Json& v, S& at) {
    if (!v.is_null()) d.id1 = ReadInteger<uint32_t>(v, at);
  });
  r.With("id2", [&](const Json& v, S& at) {
    if (!v.is_null()) d.id2 = ReadInteger<uint32_t>(v, at);
  });
  r.With("team", [&](const Json& v, S& at) { d.team = ReadInteger<int32_t>(v, at); });
  r.With("name", [&](const Json& v, S& at) { d.name = ReadOptionalString(v, at); });
  r.With("level", [&](const Json& v, S& at) { d.level = ReadInteger<int32_t>(v, at); });
  r.With("position", [&](const Json& v, S& at) { d.position = ReadPosition(v, at); });
  r.With("dead", [&](const Json& v, S& at) { d.dead = ReadBool(v, at); });
  r.With("food", [&](const Json& v, S& at) {
    ReadArray(v, at, 2);
    d.food = {ReadFloat(v[0], Index(at, 0)), ReadFloat(v[1], Index(at, 1))};
  });
  r.With("tamer", [&](const Json& v, S& at) { d.tamer = ReadString(v, at); });
  r.With("taming_team", [&](const Json& v, S& at) { d.taming_team = ReadInteger<int32_t>(v, at); });
  r.With("experience", [&](const Json& v, S& at) { d.experience = ReadNumber(v, at); });
  r.With("colours", [&](const Json& v, S& at) {
    d.colours = ReadList<std::pair<int32_t, int32_t>>(v, at, [](const Json& e, S& p) {
      if (!e.is_array() || e.size() != 2) Fail(p, "expected [region, colour]");
      return std::pair{ReadInteger<int32_t>(e[0], Index(p, 0)),
                       ReadInteger<int32_t>(e[1], Index(p, 1))};
    });
  });
  r.With("imprint_quality", [&](const Json& v, S& at) { d.imprint_quality = ReadFloat(v, at); });
  r.With("imprinter", [&](const Json& v, S& at) {
    if (v.is_null()) return;
    ObjectReader i(v, at, {"name", "player_id"});
    Imprinter imprinter;
    i.With("name", [&](const Json& x, S& a) { imprinter.name = ReadString(x, a); });
    i.With("player_id", [&](const Json& x, S& a) { imprinter.player_id = ReadString(x, a); });
    d.imprinter = imprinter;
  });
  r.With("neutered", [&](const Json& v, S& at) { d.neutered = ReadBool(v, at); });
  r.With("playing", [&](const Json& v, S& at) { d.playing = ReadBool(v, at); });
  return d;
}

StructureDescription ReadStructure(const Json& j, const std::string& place) {
  ObjectReader r(j, place,
                 {"class", "team", "owner", "name", "consumes_item", "pickup_item", "position"});
  StructureDescription s;
  using S = const std::string;
  r.With("class", [&](const Json& v, S& at) { s.class_name = ReadString(v, at); });
  r.With("team", [&](const Json& v, S& at) { s.team = ReadInteger<int32_t>(v, at); });
  r.With("owner", [&](const Json& v, S& at) { s.owner = ReadString(v, at); });
  r.With("name", [&](const Json& v, S& at) { s.name = ReadOptionalString(v, at); });
  r.With("consumes_item",
         [&](const Json& v, S& at) { s.consumes_item = ReadOptionalString(v, at); });
  r.With("pickup_item", [&](const Json& v, S& at) { s.pickup_item = ReadOptionalString(v, at); });
  r.With("position", [&](const Json& v, S& at) { s.position = ReadPosition(v, at); });
  return s;
}

ActorDescription ReadActor(const Json& j, const std::string& place) {
  ObjectReader r(j, place, {"class", "kind", "team", "position"});
  ActorDescription a;
  using S = const std::string;
  r.With("class", [&](const Json& v, S& at) { a.class_name = ReadString(v, at); });
  r.With("kind", [&](const Json& v, S& at) {
    if (!v.is_null())
      a.kind =
          ReadChoice<ClassKind>(v, at, {{"actor", ClassKind::kActor}, {"pawn", ClassKind::kPawn}});
  });
  r.With("team", [&](const Json& v, S& at) { a.team = ReadInteger<int32_t>(v, at); });
  r.With("position", [&](const Json& v, S& at) { a.position = ReadPosition(v, at); });
  return a;
}

// Names the game defines itself; a world file may use these with their own kind only.
struct BuiltInClass {
  const char* name;
  std::optional<ClassKind> kind;  // empty: cannot be made from a world file
};
constexpr BuiltInClass kBuiltInClasses[] = {
    {"Object", {}},
    {"Class", {}},
    {"ScriptStruct", {}},
    {"Actor", ClassKind::kActor},
    {"Pawn", ClassKind::kPawn},
    {"Character", {}},
    {"PrimalCharacter", {}},
    {"ShooterCharacter", {}},
    {"PlayerPawn_C", {}},
    {"PrimalDinoCharacter", ClassKind::kDino},
    {"PrimalTargetableActor", {}},
    {"PrimalStructure", ClassKind::kStructure},
    {"Controller", {}},
    {"PlayerController", {}},
    {"ShooterPlayerController", {}},
    {"Info", {}},
    {"PlayerState", {}},
    {"ShooterPlayerState", {}},
    {"GameModeBase", {}},
    {"ShooterGameMode", {}},
    {"GameStateBase", {}},
    {"ShooterGameState", {}},
    {"WorldSettings", {}},
    {"PrimalWorldSettings", {}},
    {"World", {}},
    {"Level", {}},
    {"ActorComponent", {}},
    {"SceneComponent", {}},
    {"PrimalCharacterStatusComponent", {}},
    {"CheatManager", {}},
    {"ShooterCheatManager", {}},
    {"PrimalPlayerData", {}},
    {"PrimalItem", ClassKind::kItem},
};

const BuiltInClass* FindBuiltIn(std::string_view name) {
  for (const auto& c : kBuiltInClasses)
    if (name == c.name) return &c;
  return nullptr;
}

// Tracks the kind each class name is made with, in file order.
class ClassKinds {
 public:
  void List(const ClassDescription& c, const std::string& place) {
    if (c.name.empty()) Fail(place + ".name", "a class needs a non-empty name");
    if (FindBuiltIn(c.name))
      Fail(place + ".name", "\"" + c.name + "\" is a class of the game itself");
    if (!kinds_.emplace(c.name, c.kind).second)
      Fail(place + ".name", "duplicate class \"" + c.name + "\"");
    if (c.path && c.path->empty()) Fail(place + ".path", "a class path cannot be empty");
  }
  void Use(const std::string& name, ClassKind kind, const std::string& place) {
    if (name.empty()) Fail(place, "the class name is empty");
    if (const BuiltInClass* built_in = FindBuiltIn(name)) {
      if (built_in->kind != kind)
        Fail(place,
             "class \"" + name + "\" of the game cannot be made as kind " + ClassKindName(kind));
      return;
    }
    auto [it, added] = kinds_.emplace(name, kind);
    if (!added && it->second != kind) {
      Fail(place, "class \"" + name + "\" is a " + ClassKindName(it->second) + " class, not a " +
                      ClassKindName(kind) + " class");
    }
  }
  std::optional<ClassKind> KindOf(const std::string& name) const {
    if (const BuiltInClass* built_in = FindBuiltIn(name)) return built_in->kind;
    auto it = kinds_.find(name);
    return it == kinds_.end() ? std::nullopt : std::optional(it->second);
  }

 private:
  std::map<std::string, ClassKind> kinds_;
};

OrderedJson PositionJson(const Position& p) { return OrderedJson::array({p[0], p[1], p[2]}); }

OrderedJson OptionalString(const std::optional<std::string>& s) {
  return s ? OrderedJson(*s) : OrderedJson(nullptr);
}

OrderedJson HairJson(const std::optional<HairStyle>& h) {
  if (!h) return nullptr;
  return OrderedJson{{"percent", h->percent}, {"style", h->style}};
}

}  // namespace

const char* ClassKindName(ClassKind kind) {
  switch (kind) {
    case ClassKind::kDino:
      return "dino";
    case ClassKind::kStructure:
      return "structure";
    case ClassKind::kPawn:
      return "pawn";
    case ClassKind::kActor:
      return "actor";
    case ClassKind::kItem:
      return "item";
  }
  return "actor";
}

std::string DefaultClassPath(std::string_view class_name) {
  std::string_view stem = class_name;
  if (stem.size() >= 2 && stem.substr(stem.size() - 2) == "_C") stem.remove_suffix(2);
  return "/Game/Emulated/" + std::string(stem) + ".Default__" + std::string(class_name);
}

WorldDescription ParseWorldFile(std::string_view text) {
  Json j;
  try {
    j = Json::parse(text);
  } catch (const Json::parse_error& e) {
    throw WorldFileError(std::string("world file: not valid JSON: ") + e.what());
  }
  ObjectReader r(
      j, "",
      {"map", "world", "game_state", "world_settings", "save_directory", "server_cheat_manager",
       "tribe_data_struct", "classes", "items", "tribes", "players", "dinos", "structures",
       "actors", "profiles", "script_commands", "memory"});
  WorldDescription w;
  using S = const std::string;
  r.With("map", [&](const Json& v, S& at) { w.map = ReadString(v, at); });
  r.With("world", [&](const Json& v, S& at) { w.world = ReadBool(v, at); });
  r.With("game_state", [&](const Json& v, S& at) {
    if (v.is_null()) {
      w.game_state.reset();
      return;
    }
    ObjectReader g(v, at, {"day_time", "framerate", "players_connected"});
    GameStateDescription state;
    g.With("day_time", [&](const Json& x, S& a) { state.day_time = ReadString(x, a); });
    g.With("framerate", [&](const Json& x, S& a) { state.framerate = ReadFloat(x, a); });
    g.With("players_connected", [&](const Json& x, S& a) {
      if (!x.is_null()) state.players_connected = ReadInteger<int32_t>(x, a);
    });
    w.game_state = state;
  });
  r.With("world_settings", [&](const Json& v, S& at) {
    if (v.is_null()) {
      w.world_settings.reset();
      return;
    }
    ObjectReader s(v, at,
                   {"longitude_origin", "latitude_origin", "longitude_scale", "latitude_scale"});
    WorldSettingsDescription settings;
    s.With("longitude_origin",
           [&](const Json& x, S& a) { settings.longitude_origin = ReadFloat(x, a); });
    s.With("latitude_origin",
           [&](const Json& x, S& a) { settings.latitude_origin = ReadFloat(x, a); });
    s.With("longitude_scale",
           [&](const Json& x, S& a) { settings.longitude_scale = ReadFloat(x, a); });
    s.With("latitude_scale",
           [&](const Json& x, S& a) { settings.latitude_scale = ReadFloat(x, a); });
    w.world_settings = settings;
  });
  r.With("save_directory", [&](const Json& v, S& at) { w.save_directory = ReadString(v, at); });
  r.With("server_cheat_manager",
         [&](const Json& v, S& at) { w.server_cheat_manager = ReadBool(v, at); });
  r.With("tribe_data_struct", [&](const Json& v, S& at) { w.tribe_data_struct = ReadBool(v, at); });
  r.With("classes",
         [&](const Json& v, S& at) { w.classes = ReadList<ClassDescription>(v, at, ReadClass); });
  r.With("items", [&](const Json& v, S& at) { w.items = ReadStrings(v, at); });
  r.With("tribes",
         [&](const Json& v, S& at) { w.tribes = ReadList<TribeDescription>(v, at, ReadTribe); });
  r.With("players",
         [&](const Json& v, S& at) { w.players = ReadList<PlayerDescription>(v, at, ReadPlayer); });
  r.With("dinos",
         [&](const Json& v, S& at) { w.dinos = ReadList<DinoDescription>(v, at, ReadDino); });
  r.With("structures", [&](const Json& v, S& at) {
    w.structures = ReadList<StructureDescription>(v, at, ReadStructure);
  });
  r.With("actors",
         [&](const Json& v, S& at) { w.actors = ReadList<ActorDescription>(v, at, ReadActor); });
  r.With("profiles", [&](const Json& v, S& at) { w.profiles = ReadStrings(v, at); });
  r.With("script_commands", [&](const Json& v, S& at) { w.script_commands = ReadStrings(v, at); });
  r.With("memory", [&](const Json& v, S& at) {
    ObjectReader m(v, at, {"live_blocks", "live_bytes"});
    m.With("live_blocks", [&](const Json& x, S& a) { ReadInteger<int64_t>(x, a); });
    m.With("live_bytes", [&](const Json& x, S& a) { ReadInteger<int64_t>(x, a); });
  });
  return w;
}

void CheckWorldDescription(const WorldDescription& description) {
  ClassKinds kinds;
  for (std::size_t i = 0; i < description.classes.size(); ++i)
    kinds.List(description.classes[i], Index("classes", i));

  std::set<int32_t> tribe_ids;
  for (std::size_t i = 0; i < description.tribes.size(); ++i) {
    if (!tribe_ids.insert(description.tribes[i].id).second)
      Fail(Index("tribes", i) + ".id",
           "duplicate tribe id " + std::to_string(description.tribes[i].id));
  }

  std::unordered_set<std::string> eos_ids;
  for (std::size_t i = 0; i < description.players.size(); ++i) {
    const PlayerDescription& p = description.players[i];
    const std::string place = Index("players", i);
    if (!p.eos_id.empty() && !eos_ids.insert(p.eos_id).second)
      Fail(place + ".eos_id", "duplicate EOS id \"" + p.eos_id + "\"");
  }

  std::unordered_set<uint64_t> dino_ids;
  for (std::size_t i = 0; i < description.dinos.size(); ++i) {
    const DinoDescription& d = description.dinos[i];
    const std::string place = Index("dinos", i);
    kinds.Use(d.class_name, ClassKind::kDino, place + ".class");
    if (d.id1 && d.id2 && !dino_ids.insert((uint64_t{*d.id1} << 32) | *d.id2).second) {
      Fail(place,
           "duplicate dino id pair " + std::to_string(*d.id1) + ":" + std::to_string(*d.id2));
    }
  }
  for (std::size_t i = 0; i < description.structures.size(); ++i) {
    const StructureDescription& s = description.structures[i];
    const std::string place = Index("structures", i);
    kinds.Use(s.class_name, ClassKind::kStructure, place + ".class");
    if (s.consumes_item) kinds.Use(*s.consumes_item, ClassKind::kItem, place + ".consumes_item");
    if (s.pickup_item) kinds.Use(*s.pickup_item, ClassKind::kItem, place + ".pickup_item");
  }
  for (std::size_t i = 0; i < description.actors.size(); ++i) {
    const ActorDescription& a = description.actors[i];
    const std::string place = Index("actors", i);
    ClassKind kind = ClassKind::kActor;
    if (a.kind) {
      kind = *a.kind;
    } else if (auto listed = kinds.KindOf(a.class_name); listed == ClassKind::kPawn) {
      kind = ClassKind::kPawn;
    }
    kinds.Use(a.class_name, kind, place + ".class");
  }
}

OrderedJson WorldFileJson(const WorldDescription& w) {
  OrderedJson j;
  j["map"] = w.map;
  j["world"] = w.world;
  if (w.game_state) {
    j["game_state"] = {{"day_time", w.game_state->day_time},
                       {"framerate", w.game_state->framerate},
                       {"players_connected", w.game_state->players_connected
                                                 ? OrderedJson(*w.game_state->players_connected)
                                                 : OrderedJson(nullptr)}};
  } else {
    j["game_state"] = nullptr;
  }
  if (w.world_settings) {
    j["world_settings"] = {{"longitude_origin", w.world_settings->longitude_origin},
                           {"latitude_origin", w.world_settings->latitude_origin},
                           {"longitude_scale", w.world_settings->longitude_scale},
                           {"latitude_scale", w.world_settings->latitude_scale}};
  } else {
    j["world_settings"] = nullptr;
  }
  j["save_directory"] = w.save_directory;
  j["server_cheat_manager"] = w.server_cheat_manager;
  j["tribe_data_struct"] = w.tribe_data_struct;

  OrderedJson& classes = j["classes"] = OrderedJson::array();
  for (const ClassDescription& c : w.classes)
    classes.push_back(
        {{"name", c.name}, {"kind", ClassKindName(c.kind)}, {"path", OptionalString(c.path)}});
  j["items"] = w.items;

  OrderedJson& tribes = j["tribes"] = OrderedJson::array();
  for (const TribeDescription& t : w.tribes)
    tribes.push_back({{"id", t.id}, {"name", t.name}, {"log", t.log}, {"loadable", t.loadable}});

  OrderedJson& players = j["players"] = OrderedJson::array();
  for (const PlayerDescription& p : w.players) {
    OrderedJson o;
    o["eos_id"] = p.eos_id;
    o["character_name"] = p.character_name;
    o["player_name"] = OptionalString(p.player_name);
    o["player_data_name"] = p.player_data_name;
    o["player_id"] = p.player_id ? OrderedJson(*p.player_id) : nullptr;
    o["linked_player_data_id"] =
        p.linked_player_data_id ? OrderedJson(*p.linked_player_data_id) : nullptr;
    o["team"] = p.team;
    o["tribe"] = p.tribe ? OrderedJson(*p.tribe) : nullptr;
    o["position"] = PositionJson(p.position);
    o["character"] = p.character == CharacterState::kAlive  ? "alive"
                     : p.character == CharacterState::kDead ? "dead"
                                                            : "none";
    o["player_state"] = p.player_state;
    o["pawn"] = p.pawn;
    o["cheat_manager"] = p.cheat_manager;
    o["stale"] = p.stale;
    OrderedJson& inventory = o["inventory"] = OrderedJson::array();
    for (const ItemGift& g : p.inventory)
      inventory.push_back({{"item", g.item},
                           {"quantity", g.quantity},
                           {"quality", g.quality},
                           {"blueprint", g.blueprint}});
    o["experience"] = p.experience;
    o["hexagons"] = p.hexagons;
    OrderedJson& armor = o["armor_sets"] = OrderedJson::array();
    for (const auto& [tier, quality] : p.armor_sets) armor.push_back({tier, quality});
    o["engrams"] = p.engrams;
    OrderedJson& bosses = o["bosses"] = OrderedJson::array();
    for (const BossDefeat& b : p.bosses)
      bosses.push_back({{"boss", b.boss}, {"difficulty", b.difficulty}});
    OrderedJson& inbox = o["inbox"] = OrderedJson::array();
    for (const InboxEntry& e : p.inbox) {
      OrderedJson entry{{"kind", e.kind}};
      if (e.kind == "chat") entry["sender"] = e.sender;
      entry["text"] = e.text;
      if (e.colour) entry["colour"] = *e.colour;
      if (e.kind == "notification") {
        entry["scale"] = e.scale;
        entry["seconds"] = e.seconds;
      }
      if (e.kind == "direct") entry["bold"] = e.bold;
      inbox.push_back(std::move(entry));
    }
    o["script_commands"] = p.script_commands;
    o["tribe_rank"] = p.tribe_rank;
    o["facial_hair"] = HairJson(p.facial_hair);
    o["head_hair"] = HairJson(p.head_hair);
    o["kick_message"] = OptionalString(p.kick_message);
    players.push_back(std::move(o));
  }

  OrderedJson& dinos = j["dinos"] = OrderedJson::array();
  for (const DinoDescription& d : w.dinos) {
    OrderedJson o;
    o["class"] = d.class_name;
    o["id1"] = d.id1 ? OrderedJson(*d.id1) : nullptr;
    o["id2"] = d.id2 ? OrderedJson(*d.id2) : nullptr;
    o["team"] = d.team;
    o["name"] = OptionalString(d.name);
    o["level"] = d.level;
    o["position"] = PositionJson(d.position);
    o["dead"] = d.dead;
    o["food"] = {d.food[0], d.food[1]};
    if (!d.tamer.empty()) o["tamer"] = d.tamer;
    if (d.taming_team != 0) o["taming_team"] = d.taming_team;
    if (d.experience != 0.0) o["experience"] = d.experience;
    if (!d.colours.empty()) {
      OrderedJson& colours = o["colours"] = OrderedJson::array();
      for (const auto& [region, colour] : d.colours) colours.push_back({region, colour});
    }
    if (d.imprint_quality != 0.0F) o["imprint_quality"] = d.imprint_quality;
    if (d.imprinter)
      o["imprinter"] = {{"name", d.imprinter->name}, {"player_id", d.imprinter->player_id}};
    if (d.neutered) o["neutered"] = true;
    if (!d.playing) o["playing"] = false;
    dinos.push_back(std::move(o));
  }

  OrderedJson& structures = j["structures"] = OrderedJson::array();
  for (const StructureDescription& s : w.structures) {
    structures.push_back({{"class", s.class_name},
                          {"team", s.team},
                          {"owner", s.owner},
                          {"name", OptionalString(s.name)},
                          {"consumes_item", OptionalString(s.consumes_item)},
                          {"pickup_item", OptionalString(s.pickup_item)},
                          {"position", PositionJson(s.position)}});
  }

  OrderedJson& actors = j["actors"] = OrderedJson::array();
  for (const ActorDescription& a : w.actors) {
    actors.push_back({{"class", a.class_name},
                      {"kind", a.kind ? OrderedJson(ClassKindName(*a.kind)) : OrderedJson(nullptr)},
                      {"team", a.team},
                      {"position", PositionJson(a.position)}});
  }
  j["profiles"] = w.profiles;
  j["script_commands"] = w.script_commands;
  return j;
}

}  // namespace game
