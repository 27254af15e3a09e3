#include "game/world/world_diff.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <variant>

#include "game/objects/objects.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "game/world/world_file_writer.h"

namespace game {
namespace {

using OrderedJson = nlohmann::ordered_json;

std::string IndexKey(const std::string& kind, const OrderedJson& key) { return kind + key.dump(); }

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::optional<int64_t> Number(std::string_view text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// Every string in `value`, arrays and objects searched through (records hold REFs too).
template <class F>
void ForEachString(const OrderedJson& value, F each) {
  if (value.is_string()) {
    each(value.get_ref<const std::string&>());
  } else if (value.is_structured()) {
    for (const OrderedJson& element : value) ForEachString(element, each);
  }
}

// A structure's or other actor's key: its index in the world file's list, or for one spawned
// since, its REF ("spawned:<n>").
OrderedJson EntityKeyOf(const ActorBase& actor) {
  if (actor.spawned) return "spawned:" + std::to_string(actor.source_index);
  return actor.source_index;
}

std::vector<PlayerDescription> AllPlayers(World& world) {
  std::vector<PlayerDescription> players;
  for (const auto& player : world.players()) players.push_back(world.Describe(*player));
  return players;
}

bool IsDestroy(std::string_view fn) {
  return fn == "AActor.Destroy" || fn == "AActor.ForceDestroy";
}

}  // namespace

EntitySet EntitySet::Of(const WorldDescription& lists,
                        const std::vector<OrderedJson>& structure_keys,
                        const std::vector<OrderedJson>& actor_keys) {
  const OrderedJson file = OrderedJson::parse(WorldFileText(lists, -1));
  EntitySet set;
  for (const OrderedJson& tribe : file["tribes"]) set.Add({"tribe", tribe["id"], tribe});
  for (const OrderedJson& player : file["players"]) set.Add({"player", player["eos_id"], player});
  for (const OrderedJson& dino : file["dinos"])
    set.Add({"dino", OrderedJson::array({dino["id1"], dino["id2"]}), dino});
  auto keyed = [&set](const OrderedJson& list, const char* kind,
                      const std::vector<OrderedJson>& keys) {
    for (std::size_t i = 0; i < list.size(); ++i)
      set.Add({kind, keys.empty() ? OrderedJson(i) : keys[i], list[i]});
  };
  keyed(file["structures"], "structure", structure_keys);
  keyed(file["actors"], "actor", actor_keys);
  return set;
}

void EntitySet::Add(Entity entity) {
  by_key_[IndexKey(entity.kind, entity.key)] = entities_.size();
  entities_.push_back(std::move(entity));
}

const EntitySet::Entity* EntitySet::Find(const std::string& kind, const OrderedJson& key) const {
  auto it = by_key_.find(IndexKey(kind, key));
  return it == by_key_.end() ? nullptr : &entities_[it->second];
}

OrderedJson ChangedFields(const OrderedJson& before, const OrderedJson& after) {
  OrderedJson fields = OrderedJson::object();
  for (const auto& [name, value] : before.items()) {
    const OrderedJson next = after.contains(name) ? after[name] : OrderedJson();
    if (next != value) fields[name] = OrderedJson::array({value, next});
  }
  for (const auto& [name, value] : after.items())
    if (!before.contains(name)) fields[name] = OrderedJson::array({nullptr, value});
  return fields;
}

OrderedJson DiffEntities(const EntitySet& before, const EntitySet& after) {
  OrderedJson removed = OrderedJson::array(), added = OrderedJson::array(),
              changed = OrderedJson::array();
  auto whole = [](const EntitySet::Entity& e) {
    return OrderedJson{{"kind", e.kind}, {"key", e.key}, {"object", e.object}};
  };
  for (const auto& old : before.entities()) {
    const EntitySet::Entity* now = after.Find(old.kind, old.key);
    if (now == nullptr) {
      removed.push_back(whole(old));
      continue;
    }
    if (now->object == old.object) continue;
    changed.push_back(OrderedJson{
        {"kind", old.kind}, {"key", old.key}, {"fields", ChangedFields(old.object, now->object)}});
  }
  for (const auto& now : after.entities())
    if (before.Find(now.kind, now.key) == nullptr) added.push_back(whole(now));
  return OrderedJson{{"removed", std::move(removed)},
                     {"added", std::move(added)},
                     {"changed", std::move(changed)}};
}

EntitySet LiveEntities(World& world) {
  WorldDescription lists;
  lists.tribes = world.tribes();
  for (const auto& player : world.players()) lists.players.push_back(world.Describe(*player));
  for (const Dino* dino : world.dinos())
    if (!dino->destroyed) lists.dinos.push_back(world.Describe(*dino));
  std::vector<OrderedJson> structure_keys, actor_keys;
  for (const Structure* structure : world.structures()) {
    if (structure->destroyed) continue;
    lists.structures.push_back(world.Describe(*structure));
    structure_keys.push_back(EntityKeyOf(*structure));
  }
  for (const LocatedActor* actor : world.actors()) {
    if (actor->destroyed) continue;
    lists.actors.push_back(world.Describe(*actor));
    actor_keys.push_back(EntityKeyOf(*actor));
  }
  return EntitySet::Of(lists, structure_keys, actor_keys);
}

// One touched entity: what it is, where it stands in its list, and how it was before the line
// (none for one the line made, or one whose first call destroyed it: described afterwards).
struct TouchedEntities::Touched {
  const Dino* dino = nullptr;
  const Structure* structure = nullptr;
  const LocatedActor* actor = nullptr;
  int index = 0;  // structures and actors: the place in the world's list
  bool existed = true;
  std::optional<
      std::variant<PlayerDescription, DinoDescription, StructureDescription, ActorDescription>>
      before;
};

TouchedEntities::TouchedEntities(World& world)
    : world_(world),
      tribes_before_(world.tribes()),
      players_before_(AllPlayers(world)),
      dinos_before_(world.dinos().size()),
      structures_before_(world.structures().size()),
      actors_before_(world.actors().size()) {}

TouchedEntities::~TouchedEntities() = default;

void TouchedEntities::Observe(std::string_view fn, const OrderedJson& self,
                              const OrderedJson& args) {
  const bool destroying = IsDestroy(fn);
  ForEachString(self, [&](const std::string& ref) { Touch(ref, destroying); });
  ForEachString(args, [&](const std::string& ref) { Touch(ref, false); });
}

void TouchedEntities::Touch(const std::string& given, bool destroying) {
  std::string_view ref = given;
  while (StartsWith(ref, "root:") || StartsWith(ref, "status:"))
    ref.remove_prefix(ref.find(':') + 1);
  Touched t;
  const void* identity = nullptr;
  // The lists hold the entities of the file by index, then the spawned ones by spawn number
  // (collections take entries out without reordering), so a binary search finds one.
  auto find_in = [&](const auto& list, int64_t number, bool spawned, auto& out) {
    auto order = [](const auto* entity) {
      return std::pair(entity->spawned, entity->source_index);
    };
    const auto wanted = std::pair(spawned, static_cast<int32_t>(number));
    const auto it = std::lower_bound(list.begin(), list.end(), wanted,
                                     [&](const auto* e, const auto& w) { return order(e) < w; });
    if (it == list.end() || order(*it) != wanted) return;
    out = *it;
    t.index = static_cast<int>(it - list.begin());
    identity = out;
  };
  if (StartsWith(ref, "dino:")) {
    const std::string_view ids = ref.substr(5);
    const auto colon = ids.find(':');
    const auto id1 = Number(ids.substr(0, colon));
    const auto id2 = colon == std::string_view::npos ? std::nullopt : Number(ids.substr(colon + 1));
    if (id1 && id2) {
      t.dino = world_.FindDino(static_cast<uint32_t>(*id1), static_cast<uint32_t>(*id2));
      identity = t.dino;
    }
  } else if (StartsWith(ref, "structure:") || StartsWith(ref, "actor:") ||
             StartsWith(ref, "spawned:")) {
    const auto number = Number(ref.substr(ref.find(':') + 1));
    if (!number || *number < 0) return;
    const bool spawned = StartsWith(ref, "spawned:");
    // A spawned entity is a dino, a structure or another actor; the lists tell which.
    if (spawned || StartsWith(ref, "structure:"))
      find_in(world_.structures(), *number, spawned, t.structure);
    if (identity == nullptr && (spawned || StartsWith(ref, "actor:")))
      find_in(world_.actors(), *number, spawned, t.actor);
    if (identity == nullptr && spawned) find_in(world_.dinos(), *number, true, t.dino);
  }
  if (identity == nullptr || seen_.count(identity) != 0) return;
  seen_[identity] = touched_.size();
  if (t.dino != nullptr) {
    t.existed = !t.dino->spawned || static_cast<std::size_t>(t.index) < dinos_before_;
    if (t.existed && !destroying) t.before = world_.Describe(*t.dino);
  } else if (t.structure != nullptr) {
    t.existed = static_cast<std::size_t>(t.index) < structures_before_;
    if (t.existed && !destroying) t.before = world_.Describe(*t.structure);
  } else if (t.actor != nullptr) {
    t.existed = static_cast<std::size_t>(t.index) < actors_before_;
    if (t.existed && !destroying) t.before = world_.Describe(*t.actor);
  }
  touched_.push_back(std::move(t));
}

std::string TouchedEntities::DiffText() const {
  // Players and tribes, few, through the JSON form.
  WorldDescription before, after;
  before.tribes = tribes_before_;
  after.tribes = world_.tribes();
  before.players = players_before_;
  after.players = AllPlayers(world_);
  const OrderedJson few = DiffEntities(EntitySet::Of(before), EntitySet::Of(after));
  std::string lists[3];  // removed, added, changed: JSON elements joined by commas
  const char* const kNames[3] = {"removed", "added", "changed"};
  auto append = [&lists](int list, const std::string& element) {
    if (!lists[list].empty()) lists[list] += ',';
    lists[list] += element;
  };
  for (int list = 0; list < 3; ++list)
    for (const OrderedJson& element : few[kNames[list]]) append(list, element.dump());

  // The touched dinos, structures and actors: their objects written once each, and parsed only
  // when both exist and differ, so a removal costs one text.
  auto compare = [&](const char* kind, const OrderedJson& key,
                     const std::optional<std::string>& old, const std::optional<std::string>& now) {
    const std::string head = std::string("{\"kind\":\"") + kind + "\",\"key\":" + key.dump();
    if (old && !now) {
      append(0, head + ",\"object\":" + *old + "}");
    } else if (!old && now) {
      append(1, head + ",\"object\":" + *now + "}");
    } else if (old && now && *old != *now) {
      append(2, head + ",\"fields\":" +
                    ChangedFields(OrderedJson::parse(*old), OrderedJson::parse(*now)).dump() + "}");
    }
  };
  auto texts = [this](const Touched& t, const auto& object) {
    using Description = decltype(world_.Describe(object));
    std::optional<std::string> old, now;
    if (t.existed)
      old = WorldFileEntityText(t.before ? std::get<Description>(*t.before)
                                         : world_.Describe(object));
    if (!object.destroyed) now = WorldFileEntityText(world_.Describe(object));
    return std::pair(old, now);
  };
  for (const Touched& t : touched_) {
    if (t.dino != nullptr) {
      const auto [old, now] = texts(t, *t.dino);
      compare("dino", OrderedJson::array({t.dino->dino_id1, t.dino->dino_id2}), old, now);
    } else if (t.structure != nullptr) {
      const auto [old, now] = texts(t, *t.structure);
      compare("structure", EntityKeyOf(*t.structure), old, now);
    } else if (t.actor != nullptr) {
      const auto [old, now] = texts(t, *t.actor);
      compare("actor", EntityKeyOf(*t.actor), old, now);
    }
  }
  std::string text = "{";
  for (int list = 0; list < 3; ++list)
    text += std::string(list == 0 ? "" : ",") + "\"" + kNames[list] + "\":[" + lists[list] + "]";
  return text + "}";
}

}  // namespace game
