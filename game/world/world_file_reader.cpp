#include "game/world/world_file_reader.h"

#include <cmath>
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

// Map coordinates are divided by a scale.
float ReadScale(Json& j, const Place& place) {
  const float scale = ReadFloat(j, place);
  if (scale == 0 || !std::isfinite(scale))
    throw WorldFileError(place,
                         "expected a finite number other than 0: map coordinates are "
                         "divided by the scale");
  return scale;
}

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

// A value that may also be null, which leaves it empty.
template <class F>
auto OrNull(Json& j, const Place& place, const F& read) -> std::optional<decltype(read(j, place))> {
  if (j.is_null()) return std::nullopt;
  return read(j, place);
}

using S = const Place;

// The shapes of the file's plain values and lists of them, for the parse.
const JsonShape kValue;
const JsonShape kValues{JsonShape::Kind::kList, {}, &kValue};
const JsonShape kPairs{JsonShape::Kind::kList, {}, &kValues};

// The keys one kind of object may have, each with how its value is read: the one list of them.
// The parse refuses any other key with this list (world_json.h); Read reads the keys present in
// this order, so the first bad value in this order is the error reported. A list's elements are
// read one by one (Add), so that the top-level lists can be read while the text is parsed.
template <class T>
class Fields {
 public:
  struct Field {
    std::string_view key;
    void (*read)(T&, Json& value, S& at) = nullptr;
    const JsonShape* shape = &kValue;                 // what the value holds
    void (*add)(T&, Json& element, S& at) = nullptr;  // a list's, instead of read
  };
  // `check` runs on the object read, for the rules between its keys.
  Fields(std::initializer_list<Field> fields, void (*check)(T&, const Json&, S&) = nullptr)
      : fields_(fields), check_(check) {
    shape_.kind = JsonShape::Kind::kObject;
    for (const Field& f : fields_) shape_.keys.push_back({f.key, f.shape});
  }
  Fields(const Fields&) = delete;
  Fields& operator=(const Fields&) = delete;

  const JsonShape& shape() const { return shape_; }
  const JsonShape& list() const { return list_; }
  std::string_view key(std::size_t i) const { return fields_[i].key; }

  // REQUIRES: `j` was parsed with shape() at its place (it has no other key).
  T operator()(Json& j, S& place) const {
    T out;
    ReadInto(out, j, place);
    return out;
  }
  // `pending`, when given, holds for each key the error its list's elements met while the text
  // was parsed, thrown at the key's turn.
  void ReadInto(T& out, Json& j, S& place,
                const std::vector<std::optional<WorldFileError>>* pending = nullptr) const {
    if (!j.is_object()) throw WorldFileError(place, "expected an object");
    for (std::size_t i = 0; i < fields_.size(); ++i) {
      const Field& f = fields_[i];
      if (pending != nullptr && (*pending)[i]) throw *(*pending)[i];
      const auto it = j.find(f.key);
      if (it == j.end()) continue;
      const Place at(place, f.key);
      if (f.add == nullptr) {
        f.read(out, *it, at);
        continue;
      }
      ReadArray(*it, at);
      for (std::size_t e = 0; e < it->size(); ++e) f.add(out, (*it)[e], Place(at, e));
    }
    if (check_ != nullptr) check_(out, j, place);
  }
  // REQUIRES: key `i` is a list's.
  void Add(std::size_t i, T& out, Json& element, std::size_t index) const {
    const Place top;
    const Place list(top, fields_[i].key);
    fields_[i].add(out, element, Place(list, index));
  }

 private:
  std::vector<Field> fields_;
  void (*check_)(T&, const Json&, S&);
  JsonShape shape_;
  JsonShape list_{JsonShape::Kind::kList, {}, &shape_};
};

const Fields<ClassDescription> kClass(
    {
        {"name", [](ClassDescription& c, Json& v, S& at) { c.name = ReadString(v, at); }},
        {"kind",
         [](ClassDescription& c, Json& v, S& at) {
           c.kind = ReadChoice<ClassKind>(v, at,
                                          {{"dino", ClassKind::kDino},
                                           {"structure", ClassKind::kStructure},
                                           {"pawn", ClassKind::kPawn},
                                           {"actor", ClassKind::kActor},
                                           {"item", ClassKind::kItem}});
         }},
        {"path", [](ClassDescription& c, Json& v, S& at) { c.path = OrNull(v, at, ReadString); }},
    },
    [](ClassDescription&, const Json& j, S& place) {
      if (!j.contains("name")) throw WorldFileError(place, "a class needs a name");
    });

const Fields<TribeDescription> kTribe({
    {"id", [](TribeDescription& t, Json& v, S& at) { t.id = ReadInteger<int32_t>(v, at); }},
    {"name", [](TribeDescription& t, Json& v, S& at) { t.name = ReadString(v, at); }},
    {"log", nullptr, &kValues,
     [](TribeDescription& t, Json& e, S& at) { t.log.push_back(ReadString(e, at)); }},
    {"loadable", [](TribeDescription& t, Json& v, S& at) { t.loadable = ReadBool(v, at); }},
});

const Fields<HairStyle> kHair({
    {"percent", [](HairStyle& h, Json& v, S& at) { h.percent = ReadFloat(v, at); }},
    {"style", [](HairStyle& h, Json& v, S& at) { h.style = ReadInteger<int32_t>(v, at); }},
});

Colour ReadColour(Json& j, S& place) {
  ReadArray(j, place, 4);
  Colour c{};
  for (std::size_t i = 0; i < 4; ++i) c[i] = ReadFloat(j[i], Place(place, i));
  return c;
}

using I = InboxEntry;
const Fields<InboxEntry> kInboxEntry(
    {
        {"kind",
         [](I& e, Json& v, S& at) {
           e.kind = ReadString(v, at);
           if (e.kind != "chat" && e.kind != "notification" && e.kind != "direct")
             throw WorldFileError(at, "expected one of chat, notification, direct");
         }},
        {"text", [](I& e, Json& v, S& at) { e.text = ReadString(v, at); }},
        {"sender", [](I& e, Json& v, S& at) { e.sender = ReadString(v, at); }},
        {"sender_account", [](I& e, Json& v, S& at) { e.sender_account = ReadString(v, at); }},
        {"sender_tribe", [](I& e, Json& v, S& at) { e.sender_tribe = ReadString(v, at); }},
        {"sender_id", [](I& e, Json& v, S& at) { e.sender_id = ReadInteger<uint32_t>(v, at); }},
        {"receiver", [](I& e, Json& v, S& at) { e.receiver = ReadString(v, at); }},
        {"sender_team", [](I& e, Json& v, S& at) { e.sender_team = ReadInteger<int32_t>(v, at); }},
        {"received_time", [](I& e, Json& v, S& at) { e.received_time = ReadNumber(v, at); }},
        {"send_mode", [](I& e, Json& v, S& at) { e.send_mode = ReadInteger<uint8_t>(v, at); }},
        {"radio_frequency",
         [](I& e, Json& v, S& at) { e.radio_frequency = ReadInteger<uint32_t>(v, at); }},
        {"chat_type", [](I& e, Json& v, S& at) { e.chat_type = ReadInteger<uint8_t>(v, at); }},
        {"sender_icon", [](I& e, Json& v, S& at) { e.sender_icon = OrNull(v, at, ReadString); }},
        {"from_server", [](I& e, Json& v, S& at) { e.from_server = ReadInteger<uint8_t>(v, at); }},
        {"user_id", [](I& e, Json& v, S& at) { e.user_id = ReadString(v, at); }},
        {"colour", [](I& e, Json& v, S& at) { e.colour = OrNull(v, at, ReadColour); }, &kValues},
        {"scale", [](I& e, Json& v, S& at) { e.scale = ReadFloat(v, at); }},
        {"seconds", [](I& e, Json& v, S& at) { e.seconds = ReadFloat(v, at); }},
        {"icon", [](I& e, Json& v, S& at) { e.icon = OrNull(v, at, ReadString); }},
        {"sound", [](I& e, Json& v, S& at) { e.sound = OrNull(v, at, ReadString); }},
        {"priority", [](I& e, Json& v, S& at) { e.priority = ReadInteger<int32_t>(v, at); }},
        {"bold", [](I& e, Json& v, S& at) { e.bold = ReadBool(v, at); }},
    },
    [](I& e, const Json&, S& place) {
      if (e.kind.empty()) throw WorldFileError(place, "an inbox entry needs a kind");
    });

const Fields<ItemGift> kItemGift({
    {"item", [](ItemGift& g, Json& v, S& at) { g.item = ReadString(v, at); }},
    {"quantity", [](ItemGift& g, Json& v, S& at) { g.quantity = ReadInteger<int32_t>(v, at); }},
    {"quality", [](ItemGift& g, Json& v, S& at) { g.quality = ReadFloat(v, at); }},
    {"blueprint", [](ItemGift& g, Json& v, S& at) { g.blueprint = ReadBool(v, at); }},
});

const Fields<BossDefeat> kBossDefeat({
    {"boss", [](BossDefeat& b, Json& v, S& at) { b.boss = ReadString(v, at); }},
    {"difficulty",
     [](BossDefeat& b, Json& v, S& at) { b.difficulty = ReadInteger<int32_t>(v, at); }},
});

using P = PlayerDescription;
const Fields<PlayerDescription> kPlayer(
    {
        {"eos_id", [](P& p, Json& v, S& at) { p.eos_id = ReadString(v, at); }},
        {"character_name", [](P& p, Json& v, S& at) { p.character_name = ReadString(v, at); }},
        {"player_name", [](P& p, Json& v, S& at) { p.player_name = OrNull(v, at, ReadString); }},
        {"player_data_name", [](P& p, Json& v, S& at) { p.player_data_name = ReadString(v, at); }},
        {"player_id",
         [](P& p, Json& v, S& at) { p.player_id = OrNull(v, at, ReadInteger<uint64_t>); }},
        {"linked_player_data_id",
         [](P& p, Json& v, S& at) {
           p.linked_player_data_id = OrNull(v, at, ReadInteger<uint64_t>);
         }},
        {"team", [](P& p, Json& v, S& at) { p.team = ReadInteger<int32_t>(v, at); }},
        {"tribe", [](P& p, Json& v, S& at) { p.tribe = OrNull(v, at, ReadInteger<int32_t>); }},
        {"position", [](P& p, Json& v, S& at) { p.position = ReadPosition(v, at); }, &kValues},
        {"character",
         [](P& p, Json& v, S& at) {
           p.character = ReadChoice<CharacterState>(v, at,
                                                    {{"alive", CharacterState::kAlive},
                                                     {"dead", CharacterState::kDead},
                                                     {"none", CharacterState::kNone}});
         }},
        {"player_state", [](P& p, Json& v, S& at) { p.player_state = ReadBool(v, at); }},
        {"pawn", [](P& p, Json& v, S& at) { p.pawn = ReadBool(v, at); }},
        {"cheat_manager", [](P& p, Json& v, S& at) { p.cheat_manager = ReadBool(v, at); }},
        {"stale", [](P& p, Json& v, S& at) { p.stale = ReadBool(v, at); }},
        {"inventory", nullptr, &kItemGift.list(),
         [](P& p, Json& e, S& at) { p.inventory.push_back(kItemGift(e, at)); }},
        {"experience", [](P& p, Json& v, S& at) { p.experience = ReadNumber(v, at); }},
        {"hexagons", [](P& p, Json& v, S& at) { p.hexagons = ReadInteger<int64_t>(v, at); }},
        {"armor_sets", nullptr, &kPairs,
         [](P& p, Json& e, S& at) {
           if (!e.is_array() || e.size() != 2) throw WorldFileError(at, "expected [tier, quality]");
           p.armor_sets.emplace_back(ReadString(e[0], Place(at, 0)),
                                     ReadString(e[1], Place(at, 1)));
         }},
        {"engrams", nullptr, &kValues,
         [](P& p, Json& e, S& at) { p.engrams.push_back(ReadString(e, at)); }},
        {"bosses", nullptr, &kBossDefeat.list(),
         [](P& p, Json& e, S& at) { p.bosses.push_back(kBossDefeat(e, at)); }},
        {"inbox", nullptr, &kInboxEntry.list(),
         [](P& p, Json& e, S& at) { p.inbox.push_back(kInboxEntry(e, at)); }},
        {"script_commands", nullptr, &kValues,
         [](P& p, Json& e, S& at) { p.script_commands.push_back(ReadString(e, at)); }},
        {"tribe_rank",
         [](P& p, Json& v, S& at) {
           p.tribe_rank = ReadString(v, at);
           if (p.tribe_rank != "member" && p.tribe_rank != "admin" && p.tribe_rank != "founder")
             throw WorldFileError(at, "expected one of member, admin, founder");
         }},
        {"facial_hair", [](P& p, Json& v, S& at) { p.facial_hair = OrNull(v, at, kHair); },
         &kHair.shape()},
        {"head_hair", [](P& p, Json& v, S& at) { p.head_hair = OrNull(v, at, kHair); },
         &kHair.shape()},
        {"kick_message", [](P& p, Json& v, S& at) { p.kick_message = OrNull(v, at, ReadString); }},
    },
    // A player in a tribe has the tribe's id as team: given the tribe, the team follows.
    [](P& p, const Json& j, S&) {
      if (!j.contains("team")) p.team = p.tribe.value_or(0);
    });

const Fields<Imprinter> kImprinter({
    {"name", [](Imprinter& i, Json& v, S& at) { i.name = ReadString(v, at); }},
    {"player_id", [](Imprinter& i, Json& v, S& at) { i.player_id = ReadString(v, at); }},
});

using D = DinoDescription;
const Fields<DinoDescription> kDino({
    {"class", [](D& d, Json& v, S& at) { d.class_name = ReadString(v, at); }},
    {"id1", [](D& d, Json& v, S& at) { d.id1 = OrNull(v, at, ReadInteger<uint32_t>); }},
    {"id2", [](D& d, Json& v, S& at) { d.id2 = OrNull(v, at, ReadInteger<uint32_t>); }},
    {"team", [](D& d, Json& v, S& at) { d.team = ReadInteger<int32_t>(v, at); }},
    {"name", [](D& d, Json& v, S& at) { d.name = OrNull(v, at, ReadString); }},
    {"level", [](D& d, Json& v, S& at) { d.level = ReadInteger<int32_t>(v, at); }},
    {"position", [](D& d, Json& v, S& at) { d.position = ReadPosition(v, at); }, &kValues},
    {"dead", [](D& d, Json& v, S& at) { d.dead = ReadBool(v, at); }},
    {"food",
     [](D& d, Json& v, S& at) {
       ReadArray(v, at, 2);
       d.food = {ReadFloat(v[0], Place(at, 0)), ReadFloat(v[1], Place(at, 1))};
     },
     &kValues},
    {"tamer", [](D& d, Json& v, S& at) { d.tamer = ReadString(v, at); }},
    {"taming_team", [](D& d, Json& v, S& at) { d.taming_team = ReadInteger<int32_t>(v, at); }},
    {"experience", [](D& d, Json& v, S& at) { d.experience = ReadNumber(v, at); }},
    {"colours", nullptr, &kPairs,
     [](D& d, Json& e, S& at) {
       if (!e.is_array() || e.size() != 2) throw WorldFileError(at, "expected [region, colour]");
       d.colours.emplace_back(ReadInteger<int32_t>(e[0], Place(at, 0)),
                              ReadInteger<int32_t>(e[1], Place(at, 1)));
     }},
    {"imprint_quality", [](D& d, Json& v, S& at) { d.imprint_quality = ReadFloat(v, at); }},
    {"imprinter", [](D& d, Json& v, S& at) { d.imprinter = OrNull(v, at, kImprinter); },
     &kImprinter.shape()},
    {"neutered", [](D& d, Json& v, S& at) { d.neutered = ReadBool(v, at); }},
    {"playing", [](D& d, Json& v, S& at) { d.playing = ReadBool(v, at); }},
});

using St = StructureDescription;
const Fields<StructureDescription> kStructure({
    {"class", [](St& s, Json& v, S& at) { s.class_name = ReadString(v, at); }},
    {"team", [](St& s, Json& v, S& at) { s.team = ReadInteger<int32_t>(v, at); }},
    {"owner", [](St& s, Json& v, S& at) { s.owner = ReadString(v, at); }},
    {"name", [](St& s, Json& v, S& at) { s.name = OrNull(v, at, ReadString); }},
    {"consumes_item", [](St& s, Json& v, S& at) { s.consumes_item = OrNull(v, at, ReadString); }},
    {"pickup_item", [](St& s, Json& v, S& at) { s.pickup_item = OrNull(v, at, ReadString); }},
    {"position", [](St& s, Json& v, S& at) { s.position = ReadPosition(v, at); }, &kValues},
});

using A = ActorDescription;
const Fields<ActorDescription> kActor({
    {"class", [](A& a, Json& v, S& at) { a.class_name = ReadString(v, at); }},
    {"kind",
     [](A& a, Json& v, S& at) {
       a.kind = OrNull(v, at, [](Json& k, S& place) {
         return ReadChoice<ClassKind>(k, place,
                                      {{"actor", ClassKind::kActor}, {"pawn", ClassKind::kPawn}});
       });
     }},
    {"team", [](A& a, Json& v, S& at) { a.team = ReadInteger<int32_t>(v, at); }},
    {"position", [](A& a, Json& v, S& at) { a.position = ReadPosition(v, at); }, &kValues},
});

using G = GameStateDescription;
const Fields<GameStateDescription> kGameState({
    {"day_time", [](G& g, Json& v, S& at) { g.day_time = ReadString(v, at); }},
    {"framerate", [](G& g, Json& v, S& at) { g.framerate = ReadFloat(v, at); }},
    {"players_connected",
     [](G& g, Json& v, S& at) { g.players_connected = OrNull(v, at, ReadInteger<int32_t>); }},
});

using WS = WorldSettingsDescription;
const Fields<WorldSettingsDescription> kWorldSettings({
    {"longitude_origin", [](WS& s, Json& v, S& at) { s.longitude_origin = ReadFloat(v, at); }},
    {"latitude_origin", [](WS& s, Json& v, S& at) { s.latitude_origin = ReadFloat(v, at); }},
    {"longitude_scale", [](WS& s, Json& v, S& at) { s.longitude_scale = ReadScale(v, at); }},
    {"latitude_scale", [](WS& s, Json& v, S& at) { s.latitude_scale = ReadScale(v, at); }},
});

// Written by the export, checked and ignored when read.
struct Memory {};
const Fields<Memory> kMemory({
    {"live_blocks", [](Memory&, Json& v, S& at) { ReadInteger<int64_t>(v, at); }},
    {"live_bytes", [](Memory&, Json& v, S& at) { ReadInteger<int64_t>(v, at); }},
});

using W = WorldDescription;
const Fields<WorldDescription> kWorld({
    {"map", [](W& w, Json& v, S& at) { w.map = ReadString(v, at); }},
    {"world", [](W& w, Json& v, S& at) { w.world = ReadBool(v, at); }},
    {"game_state", [](W& w, Json& v, S& at) { w.game_state = OrNull(v, at, kGameState); },
     &kGameState.shape()},
    {"world_settings",
     [](W& w, Json& v, S& at) { w.world_settings = OrNull(v, at, kWorldSettings); },
     &kWorldSettings.shape()},
    {"save_directory", [](W& w, Json& v, S& at) { w.save_directory = ReadString(v, at); }},
    {"server_cheat_manager",
     [](W& w, Json& v, S& at) { w.server_cheat_manager = ReadBool(v, at); }},
    {"tribe_data_struct", [](W& w, Json& v, S& at) { w.tribe_data_struct = ReadBool(v, at); }},
    {"classes", nullptr, &kClass.list(),
     [](W& w, Json& e, S& at) { w.classes.push_back(kClass(e, at)); }},
    {"items", nullptr, &kValues,
     [](W& w, Json& e, S& at) { w.items.push_back(ReadString(e, at)); }},
    {"tribes", nullptr, &kTribe.list(),
     [](W& w, Json& e, S& at) { w.tribes.push_back(kTribe(e, at)); }},
    {"players", nullptr, &kPlayer.list(),
     [](W& w, Json& e, S& at) { w.players.push_back(kPlayer(e, at)); }},
    {"dinos", nullptr, &kDino.list(),
     [](W& w, Json& e, S& at) { w.dinos.push_back(kDino(e, at)); }},
    {"structures", nullptr, &kStructure.list(),
     [](W& w, Json& e, S& at) { w.structures.push_back(kStructure(e, at)); }},
    {"actors", nullptr, &kActor.list(),
     [](W& w, Json& e, S& at) { w.actors.push_back(kActor(e, at)); }},
    {"profiles", nullptr, &kValues,
     [](W& w, Json& e, S& at) { w.profiles.push_back(ReadString(e, at)); }},
    {"script_commands", nullptr, &kValues,
     [](W& w, Json& e, S& at) { w.script_commands.push_back(ReadString(e, at)); }},
    {"memory", [](W&, Json& v, S& at) { kMemory(v, at); }, &kMemory.shape()},
});

// Reads the elements of the top-level lists as the parse hands them over. A list's first error
// is kept for its turn in the read order, and the rest of that list is not built.
class TopLevelLists : public WorldJsonLists {
 public:
  explicit TopLevelLists(WorldDescription& world)
      : world_(world), errors_(kWorld.shape().keys.size()) {}
  bool Element(std::size_t key, std::size_t index, Json& element) override {
    try {
      kWorld.Add(key, world_, element, index);
      return true;
    } catch (const WorldFileError& e) {
      errors_[key] = e;
      return false;
    }
  }
  const std::vector<std::optional<WorldFileError>>& errors() const { return errors_; }

 private:
  WorldDescription& world_;
  std::vector<std::optional<WorldFileError>> errors_;
};

}  // namespace

WorldDescription ParseWorldFile(std::string_view text) {
  WorldDescription world;
  TopLevelLists lists(world);
  Json rest = ParseWorldJson(text, kWorld.shape(), lists);
  // The lists are empty in `rest`: their elements are in `world` already, or their error waits
  // for its turn, so the error reported is the first one in the order keys are read in.
  kWorld.ReadInto(world, rest, Place(), &lists.errors());
  return world;
}

}  // namespace game
