#include "game/world/world_diff.h"

#include <algorithm>
#include <optional>
#include <variant>

#include "game/objects/objects.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "game/world/world_file_writer.h"
#include "sdk/game_members.h"

namespace game {
namespace {

using OrderedJson = nlohmann::ordered_json;

std::string IndexKey(const std::string& kind, const OrderedJson& key) { return kind + key.dump(); }

// A structure's or other actor's key: its index in the world file's list, or for one spawned
// since, its REF ("spawned:<n>").
OrderedJson EntityKeyOf(const ActorBase& actor) {
  if (actor.spawned) return "spawned:" + std::to_string(actor.source_index);
  return actor.source_index;
}

// The same key as text, a dino's as [id1, id2].
void AppendEntityKey(std::string& out, const ActorBase& entity) {
  if (entity.kind == ObjectKind::kDino) {
    out += '[';
    AppendInteger(out, static_cast<const Dino&>(entity).dino_id1);
    out += ',';
    AppendInteger(out, static_cast<const Dino&>(entity).dino_id2);
    out += ']';
  } else if (entity.spawned) {
    out += "\"spawned:";
    AppendInteger(out, entity.source_index);
    out += '"';
  } else {
    AppendInteger(out, entity.source_index);
  }
}

// An entity of the world's lists of dinos, structures and other actors, and its place there.
struct Listed {
  const ActorBase* entity;
  std::size_t index;
};

// Where `object` (a component standing for its owner) is listed, if it is. The lists hold the
// entities of the file by index, then the spawned ones by spawn number (collections take entries
// out without reordering): an entity of the file is found at its index until a collection, and by
// a binary search after one.
std::optional<Listed> FindListed(World& world, const ObjectBase* object) {
  while (object != nullptr && (object->kind == ObjectKind::kRootComponent ||
                               object->kind == ObjectKind::kStatusComponent))
    object = object->kind == ObjectKind::kRootComponent
                 ? static_cast<const SceneComponent*>(object)->owner
                 : static_cast<const StatusComponent*>(object)->owner;
  if (object == nullptr) return std::nullopt;
  auto find_in = [](const auto& list, const ActorBase& actor) -> std::optional<Listed> {
    auto order = [](const auto* e) { return std::pair(e->spawned, e->source_index); };
    const auto wanted = std::pair(actor.spawned, actor.source_index);
    auto it = list.begin() +
              std::min<std::size_t>(static_cast<std::size_t>(actor.source_index), list.size());
    if (actor.spawned || it == list.end() || order(*it) != wanted)
      it = std::lower_bound(list.begin(), list.end(), wanted,
                            [&](const auto* e, const auto& w) { return order(e) < w; });
    if (it == list.end() || order(*it) != wanted) return std::nullopt;
    return Listed{*it, static_cast<std::size_t>(it - list.begin())};
  };
  switch (object->kind) {
    case ObjectKind::kDino:
      return find_in(world.dinos(), *static_cast<const Dino*>(object));
    case ObjectKind::kStructure:
      return find_in(world.structures(), *static_cast<const Structure*>(object));
    case ObjectKind::kActor:
    case ObjectKind::kPawn:
      return find_in(world.actors(), *static_cast<const LocatedActor*>(object));
    default:
      return std::nullopt;
  }
}

// {"kind": ..., "key": ... of an entry of the world form, its end to come.
void AppendEntryHead(std::string& out, const ActorBase& entity) {
  out += "{\"kind\":\"";
  out += entity.kind == ObjectKind::kDino        ? "dino"
         : entity.kind == ObjectKind::kStructure ? "structure"
                                                 : "actor";
  out += "\",\"key\":";
  AppendEntityKey(out, entity);
}

// The diff's text goes out in pieces of about this size.
constexpr std::size_t kPieceSize = 64 * 1024;

std::vector<PlayerDescription> AllPlayers(World& world) {
  std::vector<PlayerDescription> players;
  for (const auto& player : world.players()) players.push_back(world.Describe(*player));
  return players;
}

std::array<float, 2> FoodOf(const StatusComponent& status) {
  return {status.current_status_values[kFoodStatus], status.max_status_values[kFoodStatus]};
}

// Reading one value of every dino is a walk of cache misses, two deep (the dino, then its status
// component): the ones some steps ahead are asked for early, so that they overlap.
constexpr std::size_t kAhead = 16;

void PrefetchFood(const StatusComponent* status) {
  __builtin_prefetch(&status->current_status_values[kFoodStatus]);
  __builtin_prefetch(&status->max_status_values[kFoodStatus]);
}

// The calls that destroy their `self`, by the names the journal gives them.
bool IsDestroy(std::string_view fn) {
  return fn == sym::AActor::Destroy.name || fn == sym::AActor::ForceDestroy.name ||
         fn == sym::APrimalDinoCharacter::Destroy.name;
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
    if (!world.IsDestroyed(*dino)) lists.dinos.push_back(world.Describe(*dino));
  std::vector<OrderedJson> structure_keys, actor_keys;
  for (const Structure* structure : world.structures()) {
    if (world.IsDestroyed(*structure)) continue;
    lists.structures.push_back(world.Describe(*structure));
    structure_keys.push_back(EntityKeyOf(*structure));
  }
  for (const LocatedActor* actor : world.actors()) {
    if (world.IsDestroyed(*actor)) continue;
    lists.actors.push_back(world.Describe(*actor));
    actor_keys.push_back(EntityKeyOf(*actor));
  }
  return EntitySet::Of(lists, structure_keys, actor_keys);
}

// One touched entity: which it is, whether it was there before the line (not one the line made),
// and, when a call changed it without destroying it, its world-file text before that call acted
// (one that was destroyed is described afterwards: its memory outlives the line).
struct TouchedEntities::FoodBefore {
  const StatusComponent* status = nullptr;
  std::array<float, 2> food{};
};

// Small, as a large destruction touches many: the text before lives apart, in `befores_`.
struct TouchedEntities::Touched {
  static constexpr uint32_t kNoText = UINT32_MAX;
  const ActorBase* entity = nullptr;
  uint32_t before = kNoText;  // its world-file text before the line, when a call changed it
  bool existed = true;
};

TouchedEntities::TouchedEntities(World& world)
    : world_(world),
      tribes_before_(world.tribes()),
      players_before_(AllPlayers(world)),
      dinos_before_(world.dinos().size()),
      structures_before_(world.structures().size()),
      actors_before_(world.actors().size()) {
  const std::vector<Dino*>& dinos = world.dinos();
  food_before_.resize(dinos.size());
  for (std::size_t i = 0; i < dinos.size(); ++i) {
    if (i + 2 * kAhead < dinos.size()) __builtin_prefetch(&dinos[i + 2 * kAhead]->status_component);
    if (i + kAhead < dinos.size()) PrefetchFood(dinos[i + kAhead]->status_component);
    food_before_[i].status = dinos[i]->status_component;
    food_before_[i].food = FoodOf(*food_before_[i].status);
  }
}

TouchedEntities::~TouchedEntities() = default;

void TouchedEntities::Observe(std::string_view fn, const ObjectBase* self,
                              std::span<const ObjectBase* const> args) {
  if (self != nullptr) Touch(self, IsDestroy(fn));
  for (const ObjectBase* object : args) Touch(object, false);
}

void TouchedEntities::Touch(const ObjectBase* object, bool destroying) {
  // What a call destroys is removed, or was never there: with the removed described elsewhere,
  // there is nothing to note.
  if (destroying && removed_mark_) return;
  const std::optional<Listed> listed = FindListed(world_, object);
  if (!listed) return;
  const ActorBase* entity = listed->entity;
  const auto seen_at = static_cast<std::size_t>(entity->object_index);
  if (seen_at >= seen_.size()) seen_.resize(std::max(seen_at + 1, 2 * seen_.size()));
  if (seen_[seen_at]) return;
  seen_[seen_at] = true;
  Touched t{.entity = entity};
  t.existed = listed->index < (entity->kind == ObjectKind::kDino        ? dinos_before_
                               : entity->kind == ObjectKind::kStructure ? structures_before_
                                                                        : actors_before_);
  if (t.existed && !destroying) {
    t.before = static_cast<uint32_t>(befores_.size());
    AppendText(befores_.emplace_back(), *entity);
  }
  touched_.push_back(t);
}

void TouchedEntities::WriteDiff(const std::function<void(std::string_view piece)>& write) const {
  // Players and tribes, few, through the JSON form.
  WorldDescription before, after;
  before.tribes = tribes_before_;
  after.tribes = world_.tribes();
  before.players = players_before_;
  after.players = AllPlayers(world_);
  const OrderedJson few = DiffEntities(EntitySet::Of(before), EntitySet::Of(after));

  // The touched dinos, structures and actors: each described once more at most, and parsed only
  // when it was there before and after and differs. Each belongs to one list at most: removed
  // (there before, destroyed), added (made by the line, still there) or changed.
  enum List : uint8_t { kRemoved, kAdded, kChanged, kNone };
  const char* const kNames[3] = {"removed", "added", "changed"};
  // Whether an entity is still there is a cache miss per entity: read once for all three lists,
  // the entities some steps ahead asked for early so that the misses overlap.
  std::vector<List> list_of(touched_.size());
  for (std::size_t i = 0; i < touched_.size(); ++i) {
    if (i + kAhead < touched_.size()) __builtin_prefetch(touched_[i + kAhead].entity);
    const Touched& t = touched_[i];
    const ActorBase* entity = t.entity;
    const bool there_after = !world_.IsDestroyed(*entity);
    list_of[i] = t.existed ? (there_after ? kChanged : kRemoved) : (there_after ? kAdded : kNone);
  }
  std::string piece, now;
  auto element_done = [&] {
    if (piece.size() >= kPieceSize) {
      write(piece);
      piece.clear();
    }
  };
  auto write_list = [&](List list) {
    piece += '"';
    piece += kNames[list];
    piece += "\":[";
    bool first = true;
    auto next = [&] {
      if (!first) piece += ',';
      first = false;
    };
    for (const OrderedJson& e : few[kNames[list]]) {
      next();
      piece += e.dump();
    }
    for (std::size_t i = 0; i < touched_.size(); ++i) {
      if (list_of[i] != list || (list == kRemoved && removed_mark_)) continue;
      const Touched& t = touched_[i];
      if (list == kChanged) {
        if (t.before == Touched::kNoText) continue;
        now.clear();
        AppendText(now, *t.entity);
        if (now == befores_[t.before]) continue;
      }
      next();
      AppendEntryHead(piece, *t.entity);
      if (list == kChanged) {
        piece += ",\"fields\":";
        piece +=
            ChangedFields(OrderedJson::parse(befores_[t.before]), OrderedJson::parse(now)).dump();
      } else {
        piece += ",\"object\":";
        if (list == kRemoved && t.before != Touched::kNoText)
          piece += befores_[t.before];
        else
          AppendText(piece, *t.entity);
      }
      piece += '}';
      element_done();
    }
    // Dinos no call named whose food was written in place.
    for (std::size_t i = 0; list == kChanged && i < dinos_before_; ++i) {
      if (i + kAhead < dinos_before_) PrefetchFood(food_before_[i + kAhead].status);
      if (FoodOf(*food_before_[i].status) == food_before_[i].food) continue;
      const Dino& dino = *world_.dinos()[i];
      const auto seen_at = static_cast<std::size_t>(dino.object_index);
      if (world_.IsDestroyed(dino) || (seen_at < seen_.size() && seen_[seen_at])) continue;
      DinoDescription description = world_.Describe(dino);
      now.clear();
      AppendWorldFileEntity(now, description);
      const OrderedJson after = OrderedJson::parse(now);
      description.food = food_before_[i].food;
      now.clear();
      AppendWorldFileEntity(now, description);
      next();
      piece += "{\"kind\":\"dino\",\"key\":";
      AppendEntityKey(piece, dino);
      piece += ",\"fields\":";
      piece += ChangedFields(OrderedJson::parse(now), after).dump();
      piece += '}';
      element_done();
    }
    if (list == kRemoved && removed_mark_) piece += *removed_mark_;
    piece += ']';
  };
  piece += '{';
  write_list(kRemoved);
  piece += ',';
  write_list(kAdded);
  piece += ',';
  write_list(kChanged);
  piece += '}';
  write(piece);
}

void TouchedEntities::AppendText(std::string& out, const ActorBase& entity) const {
  if (entity.kind == ObjectKind::kDino)
    return AppendWorldFileEntity(out, world_.Describe(static_cast<const Dino&>(entity)));
  if (entity.kind == ObjectKind::kStructure)
    return AppendWorldFileEntity(out, world_.Describe(static_cast<const Structure&>(entity)));
  AppendWorldFileEntity(out, world_.Describe(static_cast<const LocatedActor&>(entity)));
}

bool AppendRemovedEntry(std::string& out, World& world, const ObjectBase& object) {
  const std::optional<Listed> listed = FindListed(world, &object);
  if (!listed || listed->entity != &object) return false;
  if (!out.empty()) out += ',';
  AppendEntryHead(out, *listed->entity);
  out += ",\"object\":";
  switch (object.kind) {
    case ObjectKind::kDino:
      AppendWorldFileEntity(out, world.Describe(static_cast<const Dino&>(object)));
      break;
    case ObjectKind::kStructure:
      AppendWorldFileEntity(out, world.Describe(static_cast<const Structure&>(object)));
      break;
    default:
      AppendWorldFileEntity(out, world.Describe(static_cast<const LocatedActor&>(object)));
      break;
  }
  out += '}';
  return true;
}

}  // namespace game
