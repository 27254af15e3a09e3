#include "server/web/map_data.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <deque>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/util/text.h"
#include "game/world/world.h"

namespace server::web {
namespace {

using Json = nlohmann::json;

// Indexes of the texts met, each text once. A text already met costs a look-up, no copy: the
// keys are views of the table's own copies.
class TextTable {
 public:
  uint32_t Of(std::u16string_view text) {
    if (auto it = index_.find(text); it != index_.end()) return it->second;
    const auto index = static_cast<uint32_t>(texts_.size());
    index_.emplace(keys_.emplace_back(text), index);
    texts_.push_back(game::ToUtf8(text));
    return index;
  }
  const std::vector<std::string>& texts() const { return texts_; }

 private:
  std::deque<std::u16string> keys_;
  std::unordered_map<std::u16string_view, uint32_t> index_;
  std::vector<std::string> texts_;
};

int32_t KeyOf(const game::ActorBase& actor) {
  return actor.spawned ? -1 - actor.source_index : actor.source_index;
}

// One group's columns, filled an entity at a time.
struct Columns {
  std::vector<float> x, y;
  std::vector<int32_t> team, key;
  std::vector<uint32_t> id1, id2, cls, name;
};

template <typename T>
void Append(std::string& out, const std::vector<T>& column) {
  const auto* bytes = reinterpret_cast<const char*>(column.data());
  out.append(bytes, column.size() * sizeof(T));
}

Json Players(game::World& world) {
  Json players = Json::array();
  for (const auto& player : world.players()) {
    const game::PlayerDescription p = world.Describe(*player);
    players.push_back({{"eos", p.eos_id},
                       {"name", p.character_name},
                       {"player_id", p.player_id.value_or(0)},
                       {"team", p.team},
                       {"tribe", p.tribe.value_or(p.team)},
                       {"x", p.position[0]},
                       {"y", p.position[1]},
                       {"alive", player->controller != nullptr && !p.stale}});
  }
  return players;
}

Json Tribes(const game::World& world) {
  Json tribes = Json::array();
  for (const auto& tribe : world.tribes())
    tribes.push_back({{"id", tribe.id}, {"name", tribe.name}});
  return tribes;
}

std::u16string_view ClassName(game::World& world, const game::ActorBase& actor,
                              std::u16string& buffer) {
  buffer = world.names().ToString(actor.class_private->name_private);
  return buffer;
}

Json Row(game::World& world, const game::LocatedActor& actor, const char* kind) {
  std::u16string buffer;
  const FVector& at = actor.root().relative_location;
  Json row{{"kind", kind},
           {"x", at.X},
           {"y", at.Y},
           {"team", actor.targeting_team},
           {"class", game::ToUtf8(ClassName(world, actor, buffer))}};
  if (actor.kind == game::ObjectKind::kDino) {
    const auto& dino = static_cast<const game::Dino&>(actor);
    row["id1"] = dino.dino_id1;
    row["id2"] = dino.dino_id2;
    row["name"] = game::ToUtf8(dino.descriptive_name);
  } else {
    row["key"] = KeyOf(actor);
    if (actor.kind == game::ObjectKind::kStructure)
      row["name"] = game::ToUtf8(static_cast<const game::Structure&>(actor).owner_name);
  }
  return row;
}

template <typename Number>
bool ParseNumber(std::string_view text, Number& out) {
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::string MapSnapshot(game::World& world) {
  TextTable classes, names;
  Columns dinos, structures, actors;
  std::u16string buffer;
  std::unordered_map<const game::ClassObject*, uint32_t> class_index;  // classes are few
  const auto add = [&](Columns& c, const game::LocatedActor& actor) {
    const FVector& at = actor.root().relative_location;
    c.x.push_back(static_cast<float>(at.X));
    c.y.push_back(static_cast<float>(at.Y));
    c.team.push_back(actor.targeting_team);
    auto [known, added] = class_index.try_emplace(actor.class_private, 0);
    if (added) known->second = classes.Of(ClassName(world, actor, buffer));
    c.cls.push_back(known->second);
  };
  for (const game::Dino* dino : world.dinos()) {
    if (world.IsDestroyed(*dino)) continue;
    add(dinos, *dino);
    dinos.id1.push_back(dino->dino_id1);
    dinos.id2.push_back(dino->dino_id2);
    dinos.name.push_back(names.Of(dino->descriptive_name.View()));
  }
  for (const game::Structure* structure : world.structures()) {
    if (world.IsDestroyed(*structure)) continue;
    add(structures, *structure);
    structures.key.push_back(KeyOf(*structure));
    structures.name.push_back(names.Of(structure->owner_name.View()));
  }
  for (const game::LocatedActor* actor : world.actors()) {
    if (world.IsDestroyed(*actor)) continue;
    add(actors, *actor);
    actors.key.push_back(KeyOf(*actor));
    actors.name.push_back(names.Of(u""));
  }

  Json header{{"classes", classes.texts()},
              {"names", names.texts()},
              {"tribes", Tribes(world)},
              {"players", Players(world)},
              {"counts",
               {{"dinos", dinos.x.size()},
                {"structures", structures.x.size()},
                {"actors", actors.x.size()}}},
              {"columns", Json::array()}};
  std::string body;
  const auto column = [&](const char* group, const char* name, const auto& values) {
    using T = typename std::decay_t<decltype(values)>::value_type;
    const char* type = std::is_same_v<T, float> ? "f32" : std::is_signed_v<T> ? "i32" : "u32";
    header["columns"].push_back({group, name, type});
    Append(body, values);
  };
  column("dinos", "x", dinos.x);
  column("dinos", "y", dinos.y);
  column("dinos", "team", dinos.team);
  column("dinos", "id1", dinos.id1);
  column("dinos", "id2", dinos.id2);
  column("dinos", "cls", dinos.cls);
  column("dinos", "name", dinos.name);
  for (auto [group, c] : {std::pair{"structures", &structures}, std::pair{"actors", &actors}}) {
    column(group, "x", c->x);
    column(group, "y", c->y);
    column(group, "team", c->team);
    column(group, "key", c->key);
    column(group, "cls", c->cls);
    column(group, "name", c->name);
  }

  std::string text = header.dump(-1, ' ', false, Json::error_handler_t::replace);
  const auto length = static_cast<uint32_t>(text.size());
  std::string out(4, '\0');
  std::memcpy(out.data(), &length, 4);  // little-endian on every platform the server runs on
  out += text;
  out.resize((out.size() + 3) / 4 * 4, ' ');
  out += body;
  return out;
}

void AddMapRef(std::string_view ref, std::set<std::string>& refs) {
  for (std::string_view owner_of : {"root:", "status:"})
    if (ref.starts_with(owner_of)) ref.remove_prefix(owner_of.size());
  for (std::string_view kind :
       {"dino:", "structure:", "actor:", "spawned:", "character:", "controller:"})
    if (ref.starts_with(kind)) {
      refs.emplace(ref);
      return;
    }
}

std::string MapRows(game::World& world, const std::set<std::string>& refs) {
  Json rows = Json::array();
  // Structures, actors and spawned ones by key: one pass over a list finds all of its kind.
  std::vector<std::pair<std::string, int32_t>> keyed;  // kind, key
  for (const std::string& ref : refs) {
    const std::string_view text(ref);
    const auto colon = text.find(':');
    const std::string_view kind = text.substr(0, colon), rest = text.substr(colon + 1);
    if (kind == "dino") {
      uint32_t id1 = 0, id2 = 0;
      const auto at = rest.find(':');
      if (at == std::string_view::npos || !ParseNumber(rest.substr(0, at), id1) ||
          !ParseNumber(rest.substr(at + 1), id2))
        continue;
      if (const game::Dino* dino = world.FindDino(id1, id2))
        rows.push_back(Row(world, *dino, "dino"));
      else
        rows.push_back({{"kind", "dino"}, {"id1", id1}, {"id2", id2}, {"gone", true}});
      continue;
    }
    int32_t n = 0;
    if ((kind == "structure" || kind == "actor" || kind == "spawned") && ParseNumber(rest, n))
      keyed.emplace_back(kind, kind == "spawned" ? -1 - n : n);
  }
  // Only the wanted keys are looked for: the lists are walked, nothing is built per actor.
  const auto code = [](std::string_view kind, int32_t key) {
    const uint64_t k = kind == "structure" ? 0 : kind == "actor" ? 1 : 2;
    return (k << 32) | static_cast<uint32_t>(key);
  };
  std::unordered_map<uint64_t, const game::LocatedActor*> wanted;
  for (const auto& [kind, key] : keyed) wanted.emplace(code(kind, key), nullptr);
  const auto find = [&](const auto& list, std::string_view kind) {
    for (const game::LocatedActor* actor : list) {
      if (world.IsDestroyed(*actor)) continue;
      auto it = wanted.find(code(actor->spawned ? "spawned" : kind, KeyOf(*actor)));
      if (it != wanted.end()) it->second = actor;
    }
  };
  find(world.structures(), "structure");
  find(world.actors(), "actor");
  find(world.dinos(), "dino");
  for (const auto& [kind, key] : keyed) {
    const game::LocatedActor* actor = wanted[code(kind, key)];
    if (actor == nullptr) {
      rows.push_back({{"kind", kind}, {"key", key}, {"gone", true}});
      continue;
    }
    rows.push_back(Row(world, *actor,
                       actor->kind == game::ObjectKind::kDino        ? "dino"
                       : actor->kind == game::ObjectKind::kStructure ? "structure"
                                                                     : "actor"));
  }
  return Json{{"players", Players(world)}, {"tribes", Tribes(world)}, {"rows", rows}}.dump(
      -1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace server::web
