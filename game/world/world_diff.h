// Differences between two states of a world, entity by entity, in the world file's names:
//   {"removed": [ENTITY...], "added": [ENTITY...], "changed": [ENTITY...]}
// where ENTITY is {"kind": "player"|"tribe"|"dino"|"structure"|"actor", "key": KEY, ...}; KEY is
// the EOS id, the tribe id, [id1, id2], or the index in the world file's list (structures and
// actors; "spawned:<n>" for one spawned since the world was loaded). A removed or added entity
// carries its world-file object under "object", a changed one "fields": {NAME: [BEFORE, AFTER],
// ...}. TouchedEntities follows one line's game calls through the journal's observer and describes
// only the entities those calls named, so its cost follows what the line touched, not the world.
// Thread: the game thread (the live world); EntitySet and DiffEntities are pure.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/world/world_description.h"

namespace game {

class World;
struct Player;
struct ObjectBase;
struct ActorBase;

// Entities with their world-file objects, in the order they were added.
class EntitySet {
 public:
  struct Entity {
    std::string kind;
    nlohmann::ordered_json key;
    nlohmann::ordered_json object;
  };
  // The players, tribes, dinos, structures and actors of `lists`; structures and actors are keyed
  // by `structure_keys` and `actor_keys` (their list indexes when empty).
  static EntitySet Of(const WorldDescription& lists,
                      const std::vector<nlohmann::ordered_json>& structure_keys = {},
                      const std::vector<nlohmann::ordered_json>& actor_keys = {});
  void Add(Entity entity);
  const std::vector<Entity>& entities() const { return entities_; }
  const Entity* Find(const std::string& kind, const nlohmann::ordered_json& key) const;

 private:
  std::vector<Entity> entities_;
  std::unordered_map<std::string, std::size_t> by_key_;
};

nlohmann::ordered_json DiffEntities(const EntitySet& before, const EntitySet& after);
// {NAME: [BEFORE, AFTER]} of the keys whose values differ (null for a missing one).
nlohmann::ordered_json ChangedFields(const nlohmann::ordered_json& before,
                                     const nlohmann::ordered_json& after);

// Every live entity of `world`.
EntitySet LiveEntities(World& world);

// Appends the "removed" entry {"kind": ..., "key": ..., "object": ...} of `object` as `world` has
// it, a comma first unless `out` is empty; false, and nothing appended, when `object` is none of
// the world's listed dinos, structures and other actors.
bool AppendRemovedEntry(std::string& out, World& world, const ObjectBase& object);

// Records the entities that a line's calls name, describing each before the first call on it
// acts (a destroyed one needs no copy: its memory outlives the line). Tribes and players are few,
// and some of their fields change without a game call (a name written in place), so all of them
// are compared. A dino's food is a status value that a plugin writes in place, as the game has no
// function for it: the food of every dino is noted at the start and compared at the end, a read
// of one value each.
class TouchedEntities {
 public:
  explicit TouchedEntities(World& world);
  ~TouchedEntities();
  TouchedEntities(const TouchedEntities&) = delete;
  TouchedEntities& operator=(const TouchedEntities&) = delete;
  // The journal observer's work: `self` and the objects among the arguments of a call of `fn`.
  void Observe(std::string_view fn, const ObjectBase* self,
               std::span<const ObjectBase* const> args);
  // The world form of what changed since construction, as JSON text, handed to `write` in
  // pieces as it is made (a large one is never held whole).
  void WriteDiff(const std::function<void(std::string_view piece)>& write) const;
  // From now on the removed dinos, structures and other actors are left out of the diff, and
  // `mark` stands where their entries would end the "removed" list: whoever has the world as it
  // was before the line describes them (see AppendRemovedEntry). `mark` must be a byte JSON text
  // never holds unescaped.
  void LeaveRemovedTo(char mark) { removed_mark_ = mark; }

 private:
  struct Touched;
  void Touch(const ObjectBase* object, bool destroying);
  // The world-file text of a touched entity as it is now.
  void AppendText(std::string& out, const ActorBase& entity) const;
  World& world_;
  std::vector<TribeDescription> tribes_before_;
  std::vector<PlayerDescription> players_before_;
  std::size_t dinos_before_, structures_before_, actors_before_;
  std::vector<Touched> touched_;
  std::vector<std::string> befores_;
  std::optional<char> removed_mark_;
  std::vector<bool> seen_;  // by object index
  struct FoodBefore;
  std::vector<FoodBefore> food_before_;  // by place in the dino list
};

}  // namespace game
