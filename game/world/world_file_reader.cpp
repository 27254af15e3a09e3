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

// The common reads of a key: its value read by `read` into `member`, or (Nullable) left empty
// by null; a list's element read by `read` and appended to `member`.
template <const auto& read>
auto Nullable(Json& j, S& place) {
  return OrNull(j, place, read);
}
template <auto member, const auto& read>
void Set(auto& out, Json& v, S& at) {
  out.*member = read(v, at);
}
template <auto member, const auto& read>
void Append(auto& out, Json& e, S& at) {
  (out.*member).push_back(read(e, at));
}

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
        {"name", Set<&ClassDescription::name, ReadString>},
        {"kind",
         [](ClassDescription& c, Json& v, S& at) {
           c.kind = ReadChoice<ClassKind>(v, at,
                                          {{"dino", ClassKind::kDino},
                                           {"structure", ClassKind::kStructure},
                                           {"pawn", ClassKind::kPawn},
                                           {"actor", ClassKind::kActor},
                                           {"item", ClassKind::kItem}});
         }},
        {"path", Set<&ClassDescription::path, Nullable<ReadString>>},
    },
    [](ClassDescription&, const Json& j, S& place) {
      if (!j.contains("name")) throw WorldFileError(place, "a class needs a name");
    });

const Fields<TribeDescription> kTribe({
    {"id", Set<&TribeDescription::id, ReadInteger<int32_t>>},
    {"name", Set<&TribeDescription::name, ReadString>},
    {"log", nullptr, &kValues, Append<&TribeDescription::log, ReadString>},
    {"loadable", Set<&TribeDescription::loadable, ReadBool>},
});

const Fields<HairStyle> kHair({
    {"percent", Set<&HairStyle::percent, ReadFloat>},
    {"style", Set<&HairStyle::style, ReadInteger<int32_t>>},
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
        {"text", Set<&I::text, ReadString>},
        {"sender", Set<&I::sender, ReadString>},
        {"sender_account", Set<&I::sender_account, ReadString>},
        {"sender_tribe", Set<&I::sender_tribe, ReadString>},
        {"sender_id", Set<&I::sender_id, ReadInteger<uint32_t>>},
        {"receiver", Set<&I::receiver, ReadString>},
        {"sender_team", Set<&I::sender_team, ReadInteger<int32_t>>},
        {"received_time", Set<&I::received_time, ReadNumber>},
        {"send_mode", Set<&I::send_mode, ReadInteger<uint8_t>>},
        {"radio_frequency", Set<&I::radio_frequency, ReadInteger<uint32_t>>},
        {"chat_type", Set<&I::chat_type, ReadInteger<uint8_t>>},
        {"sender_icon", Set<&I::sender_icon, Nullable<ReadString>>},
        {"from_server", Set<&I::from_server, ReadInteger<uint8_t>>},
        {"user_id", Set<&I::user_id, ReadString>},
        {"colour", Set<&I::colour, Nullable<ReadColour>>, &kValues},
        {"scale", Set<&I::scale, ReadFloat>},
        {"seconds", Set<&I::seconds, ReadFloat>},
        {"icon", Set<&I::icon, Nullable<ReadString>>},
        {"sound", Set<&I::sound, Nullable<ReadString>>},
        {"priority", Set<&I::priority, ReadInteger<int32_t>>},
        {"bold", Set<&I::bold, ReadBool>},
    },
    [](I& e, const Json&, S& place) {
      if (e.kind.empty()) throw WorldFileError(place, "an inbox entry needs a kind");
    });

const Fields<ItemGift> kItemGift({
    {"item", Set<&ItemGift::item, ReadString>},
    {"quantity", Set<&ItemGift::quantity, ReadInteger<int32_t>>},
    {"quality", Set<&ItemGift::quality, ReadFloat>},
    {"blueprint", Set<&ItemGift::blueprint, ReadBool>},
});

const Fields<BossDefeat> kBossDefeat({
    {"boss", Set<&BossDefeat::boss, ReadString>},
    {"difficulty", Set<&BossDefeat::difficulty, ReadInteger<int32_t>>},
});

using P = PlayerDescription;
const Fields<PlayerDescription> kPlayer(
    {
        {"eos_id", Set<&P::eos_id, ReadString>},
        {"character_name", Set<&P::character_name, ReadString>},
        {"player_name", Set<&P::player_name, Nullable<ReadString>>},
        {"player_data_name", Set<&P::player_data_name, ReadString>},
        {"player_id", Set<&P::player_id, Nullable<ReadInteger<uint64_t>>>},
        {"linked_player_data_id", Set<&P::linked_player_data_id, Nullable<ReadInteger<uint64_t>>>},
        {"team", Set<&P::team, ReadInteger<int32_t>>},
        {"tribe", Set<&P::tribe, Nullable<ReadInteger<int32_t>>>},
        {"position", Set<&P::position, ReadPosition>, &kValues},
        {"character",
         [](P& p, Json& v, S& at) {
           p.character = ReadChoice<CharacterState>(v, at,
                                                    {{"alive", CharacterState::kAlive},
                                                     {"dead", CharacterState::kDead},
                                                     {"none", CharacterState::kNone}});
         }},
        {"player_state", Set<&P::player_state, ReadBool>},
        {"pawn", Set<&P::pawn, ReadBool>},
        {"cheat_manager", Set<&P::cheat_manager, ReadBool>},
        {"stale", Set<&P::stale, ReadBool>},
        {"inventory", nullptr, &kItemGift.list(), Append<&P::inventory, kItemGift>},
        {"experience", Set<&P::experience, ReadNumber>},
        {"hexagons", Set<&P::hexagons, ReadInteger<int64_t>>},
        {"armor_sets", nullptr, &kPairs,
         [](P& p, Json& e, S& at) {
           if (!e.is_array() || e.size() != 2) throw WorldFileError(at, "expected [tier, quality]");
           p.armor_sets.emplace_back(ReadString(e[0], Place(at, 0)),
                                     ReadString(e[1], Place(at, 1)));
         }},
        {"engrams", nullptr, &kValues, Append<&P::engrams, ReadString>},
        {"bosses", nullptr, &kBossDefeat.list(), Append<&P::bosses, kBossDefeat>},
        {"inbox", nullptr, &kInboxEntry.list(), Append<&P::inbox, kInboxEntry>},
        {"script_commands", nullptr, &kValues, Append<&P::script_commands, ReadString>},
        {"tribe_rank",
         [](P& p, Json& v, S& at) {
           p.tribe_rank = ReadString(v, at);
           if (p.tribe_rank != "member" && p.tribe_rank != "admin" && p.tribe_rank != "founder")
             throw WorldFileError(at, "expected one of member, admin, founder");
         }},
        {"facial_hair", Set<&P::facial_hair, Nullable<kHair>>, &kHair.shape()},
        {"head_hair", Set<&P::head_hair, Nullable<kHair>>, &kHair.shape()},
        {"kick_message", Set<&P::kick_message, Nullable<ReadString>>},
    },
    // A player in a tribe has the tribe's id as team: given the tribe, the team follows.
    [](P& p, const Json& j, S&) {
      if (!j.contains("team")) p.team = p.tribe.value_or(0);
    });

const Fields<Imprinter> kImprinter({
    {"name", Set<&Imprinter::name, ReadString>},
    {"player_id", Set<&Imprinter::player_id, ReadString>},
});

using D = DinoDescription;
const Fields<DinoDescription> kDino({
    {"class", Set<&D::class_name, ReadString>},
    {"id1", Set<&D::id1, Nullable<ReadInteger<uint32_t>>>},
    {"id2", Set<&D::id2, Nullable<ReadInteger<uint32_t>>>},
    {"team", Set<&D::team, ReadInteger<int32_t>>},
    {"name", Set<&D::name, Nullable<ReadString>>},
    {"level", Set<&D::level, ReadInteger<int32_t>>},
    {"position", Set<&D::position, ReadPosition>, &kValues},
    {"dead", Set<&D::dead, ReadBool>},
    {"food",
     [](D& d, Json& v, S& at) {
       ReadArray(v, at, 2);
       d.food = {ReadFloat(v[0], Place(at, 0)), ReadFloat(v[1], Place(at, 1))};
     },
     &kValues},
    {"tamer", Set<&D::tamer, ReadString>},
    {"taming_team", Set<&D::taming_team, ReadInteger<int32_t>>},
    {"experience", Set<&D::experience, ReadNumber>},
    {"colours", nullptr, &kPairs,
     [](D& d, Json& e, S& at) {
       if (!e.is_array() || e.size() != 2) throw WorldFileError(at, "expected [region, colour]");
       d.colours.emplace_back(ReadInteger<int32_t>(e[0], Place(at, 0)),
                              ReadInteger<int32_t>(e[1], Place(at, 1)));
     }},
    {"imprint_quality", Set<&D::imprint_quality, ReadFloat>},
    {"imprinter", Set<&D::imprinter, Nullable<kImprinter>>, &kImprinter.shape()},
    {"neutered", Set<&D::neutered, ReadBool>},
    {"playing", Set<&D::playing, ReadBool>},
});

using St = StructureDescription;
const Fields<StructureDescription> kStructure({
    {"class", Set<&St::class_name, ReadString>},
    {"team", Set<&St::team, ReadInteger<int32_t>>},
    {"owner", Set<&St::owner, ReadString>},
    {"name", Set<&St::name, Nullable<ReadString>>},
    {"consumes_item", Set<&St::consumes_item, Nullable<ReadString>>},
    {"pickup_item", Set<&St::pickup_item, Nullable<ReadString>>},
    {"position", Set<&St::position, ReadPosition>, &kValues},
});

using A = ActorDescription;
const Fields<ActorDescription> kActor({
    {"class", Set<&A::class_name, ReadString>},
    {"kind",
     [](A& a, Json& v, S& at) {
       a.kind = OrNull(v, at, [](Json& k, S& place) {
         return ReadChoice<ClassKind>(k, place,
                                      {{"actor", ClassKind::kActor}, {"pawn", ClassKind::kPawn}});
       });
     }},
    {"team", Set<&A::team, ReadInteger<int32_t>>},
    {"position", Set<&A::position, ReadPosition>, &kValues},
});

using G = GameStateDescription;
const Fields<GameStateDescription> kGameState({
    {"day_time", Set<&G::day_time, ReadString>},
    {"framerate", Set<&G::framerate, ReadFloat>},
    {"players_connected", Set<&G::players_connected, Nullable<ReadInteger<int32_t>>>},
});

using WS = WorldSettingsDescription;
const Fields<WorldSettingsDescription> kWorldSettings({
    {"longitude_origin", Set<&WS::longitude_origin, ReadFloat>},
    {"latitude_origin", Set<&WS::latitude_origin, ReadFloat>},
    {"longitude_scale", Set<&WS::longitude_scale, ReadScale>},
    {"latitude_scale", Set<&WS::latitude_scale, ReadScale>},
});

// Written by the export, checked and ignored when read.
struct Memory {};
const Fields<Memory> kMemory({
    {"live_blocks", [](Memory&, Json& v, S& at) { ReadInteger<int64_t>(v, at); }},
    {"live_bytes", [](Memory&, Json& v, S& at) { ReadInteger<int64_t>(v, at); }},
});

using W = WorldDescription;
const Fields<WorldDescription> kWorld({
    {"map", Set<&W::map, ReadString>},
    {"world", Set<&W::world, ReadBool>},
    {"game_state", Set<&W::game_state, Nullable<kGameState>>, &kGameState.shape()},
    {"world_settings", Set<&W::world_settings, Nullable<kWorldSettings>>, &kWorldSettings.shape()},
    {"save_directory", Set<&W::save_directory, ReadString>},
    {"server_cheat_manager", Set<&W::server_cheat_manager, ReadBool>},
    {"tribe_data_struct", Set<&W::tribe_data_struct, ReadBool>},
    {"classes", nullptr, &kClass.list(), Append<&W::classes, kClass>},
    {"items", nullptr, &kValues, Append<&W::items, ReadString>},
    {"tribes", nullptr, &kTribe.list(), Append<&W::tribes, kTribe>},
    {"players", nullptr, &kPlayer.list(), Append<&W::players, kPlayer>},
    {"dinos", nullptr, &kDino.list(), Append<&W::dinos, kDino>},
    {"structures", nullptr, &kStructure.list(), Append<&W::structures, kStructure>},
    {"actors", nullptr, &kActor.list(), Append<&W::actors, kActor>},
    {"profiles", nullptr, &kValues, Append<&W::profiles, ReadString>},
    {"script_commands", nullptr, &kValues, Append<&W::script_commands, ReadString>},
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
