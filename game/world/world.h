// World: the live game, made from a WorldDescription by WorldBuilder (world_builder.h). It owns
// every object, the name table, the object table behind weak references, the players'
// bookkeeping and the journal, and it carries out what the game's functions do (members/
// registers those functions and calls in here).
// Destroyed actors leave the level and the class and sphere queries at once, and FindDino passes
// them over (their slot in "ULevel.Actors" becomes null and the array is compacted from time to
// time and at every collection); their memory lives on until CollectGarbage, as pending-kill
// objects do. Destroying writes nothing into the objects: whether one is destroyed is kept in a
// table of the world's (IsDestroyed), so that a copy of the process that destroys many scattered
// actors has few pages to copy.
// One world is installed at a time: the registered functions act on it.
// Where things are: world.cpp the object table, the level and the queries; world_objects.cpp
// making objects; world_effects.cpp what game functions change; world_names.cpp how objects
// are named in paths and journal lines; world_export.cpp the state as a description.
// Thread: the game thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "game/journal/journal.h"
#include "game/objects/names.h"
#include "game/objects/object_pool.h"
#include "game/objects/objects.h"
#include "game/world/kind_list.h"
#include "game/world/native_classes.h"
#include "game/world/slot_ids.h"
#include "game/world/world_description.h"

namespace game {

class WorldBuilder;

class World {
 public:
  // Only the builder makes worlds.
  class BuildKey {
    friend class WorldBuilder;
    BuildKey() = default;
  };
  explicit World(BuildKey) {}
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  // The installed world; the registered functions act on it. REQUIRES: one is installed.
  static World& Installed() { return *installed_; }
  // Makes this the installed world: its journal records, the framework reports its objects.
  // The members that act on it are registered by the game (Game::Install).
  void Install();

  NameTable& names() { return names_; }
  Journal& journal() { return journal_; }

  // Objects the framework reports and the plugin starts from.
  WorldObject* world_object() { return world_object_; }
  bool reports_world() const { return reports_world_; }
  GameMode* game_mode() { return game_mode_; }
  CheatManager* server_cheat_manager() { return server_cheat_manager_; }
  WorldSettings* world_settings() { return world_settings_; }
  ScriptStructObject* tribe_struct() { return tribe_struct_; }
  const std::u16string& map_name() const { return map_name_; }
  ClassObject* NativeClass(Native which) { return natives_[static_cast<int>(which)]; }
  const std::vector<std::unique_ptr<Player>>& players() { return players_; }
  std::vector<std::string>& server_script_commands() { return server_script_commands_; }
  bool tribe_data_struct() const { return tribe_data_struct_; }

  // Weak references; one to a destroyed object resolves to null at once.
  ObjectBase* Resolve(const FWeakObjectPtr& weak) const;
  // The object made with this index, destroyed or not, until it is collected; null past them.
  ObjectBase* ObjectAt(int32_t object_index) const {
    return object_index >= 0 && static_cast<std::size_t>(object_index) < slots_.size()
               ? slots_[object_index].object
               : nullptr;
  }
  // Whether the object, made by this world, has been destroyed (it may not be collected yet).
  bool IsDestroyed(const ObjectBase& object) const {
    return object.object_index >= 0 && destroyed_[object.object_index];
  }

  // Queries; each skips destroyed actors.
  Dino* FindDino(uint32_t id1, uint32_t id2) const;
  const TribeDescription* FindTribe(int32_t id) const;
  // The player whose id's low 32 bits are `id32`.
  Player* FindPlayerById32(int32_t id32);
  // Level actors in level order.
  template <class F>
  void ForEachLevelActor(F body) const {
    for (AActor* actor : level_->actors)
      if (actor != nullptr) body(static_cast<ActorBase*>(FromSdk(actor)));
  }
  // The same for walks over the whole level whose body reads the actors' root components (the
  // class and sphere queries): the actors some places ahead, and their root components a few
  // places ahead, are asked for early, so that on a large level the waits for memory overlap.
  template <class F>
  void ForEachLevelActorAhead(F body) const {
    const auto& actors = level_->actors;
    const int32_t count = actors.Num();
    constexpr int32_t kActorsAhead = 32;
    constexpr int32_t kRootsAhead = 16;
    for (int32_t i = 0; i < count; ++i) {
      if (i + kActorsAhead < count) __builtin_prefetch(actors[i + kActorsAhead]);
      if (i + kRootsAhead < count && actors[i + kRootsAhead] != nullptr)
        __builtin_prefetch(
            static_cast<ActorBase*>(FromSdk(actors[i + kRootsAhead]))->root_component);
      if (actors[i] != nullptr) body(static_cast<ActorBase*>(FromSdk(actors[i])));
    }
  }
  // The level actors of class `cls` or a class derived from it (every actor for null), in
  // level order. Dinos and structures come from their kind lists (in level order too: order of
  // joining the level, and never put back once gone), so a query for them reads neither the
  // rest of the level nor the objects it does not return.
  template <class F>
  void ForEachLevelActorOf(const ClassObject* cls, F body) const {
    if (cls == nullptr || cls == natives_[static_cast<int>(Native::kActor)]) {
      ForEachLevelActorAhead(body);  // every level actor is an actor: no class to test
    } else if (cls->IsChildOf(natives_[static_cast<int>(Native::kDino)])) {
      dino_list_.ForEachOf(cls, body);
    } else if (cls->IsChildOf(natives_[static_cast<int>(Native::kStructure)])) {
      structure_list_.ForEachOf(cls, body);
    } else {
      ForEachLevelActor([&](ActorBase* actor) {
        if (actor->class_private->IsChildOf(cls)) body(actor);
      });
    }
  }
  // The item catalogue entry that `path` names (with or without "Blueprint'...'"), or null.
  const std::string* CatalogueItem(std::u16string_view path) const;
  const std::string* CatalogueItem(int32_t index) const;

  // Effects: what the game's functions change (world_effects.cpp).
  void DestroyActor(ActorBase* actor);
  // Told of each actor DestroyActor destroys, once it is marked (a preview's copy tells its
  // parent which entities go as they go); none: nobody.
  void SetDestroyListener(std::function<void(const ActorBase&)> listener) {
    destroy_listener_ = std::move(listener);
  }
  void MoveActor(ActorBase* actor, const FVector& to);
  void MovePlayer(Player& player, const FVector& to);
  // Spawns the dino or structure class that `blueprint` names, at `at`; null when none.
  ActorBase* Spawn(std::u16string_view blueprint, const FVector& at);
  // Renames a listed tribe, which its log records.
  void RenameTribe(int32_t id, std::u16string_view name);
  // Adds an entry to a listed tribe's log (its members' records too), stamped with the in-game
  // day and time as the game stamps its entries: "Day 12, 14:05:09: <text>". A team that is no
  // listed tribe keeps no log.
  void AddTribeLogEntry(int32_t tribe_id, std::u16string_view text);
  void RenamePlayer(Player& player, std::u16string_view name);
  // Copies every player's tribe record from the tribe list.
  void SyncTribeRecords();

  // Making objects (world_objects.cpp).
  // A new item object to hand out (kept by the world).
  ItemObject* MakeItem();

  // Names (world_names.cpp).
  // REF of an object in journal lines, such as "dino:11:22" or "root:structure:3".
  std::string RefOf(const ObjectBase* object) const;
  // The object's full path name.
  std::u16string PathNameOf(const ObjectBase* object) const;
  // The dino's species: its class name less "_Character_BP_C" or "_C".
  std::u16string SpeciesOf(const Dino& dino) const;
  // The dino's name, then " - Lvl <level>" and " (<species>)" when asked.
  std::u16string DinoDisplayName(const Dino& dino, bool with_level, bool with_species) const;

  // The current state as a world description (destroyed actors left out, spawned ones
  // appended; world_export.cpp).
  WorldDescription ToDescription() const;
  // One entity as the export describes it, destroyed or not (its memory lives until the next
  // collection).
  PlayerDescription Describe(const Player& player) const;
  DinoDescription Describe(const Dino& dino) const;
  StructureDescription Describe(const Structure& structure) const;
  ActorDescription Describe(const LocatedActor& actor) const;
  // The entity lists, destroyed entries included: file order, then spawn order.
  const std::vector<Dino*>& dinos() const { return dinos_; }
  const std::vector<Structure*>& structures() const { return structures_; }
  const std::vector<LocatedActor*>& actors() const { return actors_; }
  const std::vector<TribeDescription>& tribes() const { return tribes_; }
  void CollectGarbage();

 private:
  friend class WorldBuilder;

  // Making objects (world_objects.cpp; the templates below).
  template <class T>
  T* Make(Native cls, std::u16string_view name = {});
  template <class T>
  T* MakeOf(ClassObject* cls, std::u16string_view name = {});
  template <class T>
  T* Own();
  // A root or status component of `owner`, named `name`, registered.
  template <class T>
  T* MakeComponent(Native cls, FName name, ObjectBase* owner);
  std::optional<std::string> ClassNameOf(const ClassObject* cls) const;
  // A class's name in UTF-8, narrowed once per class: describing many entities asks often.
  const std::string& ClassName(const ClassObject& cls) const;
  ClassObject* MakeClass(std::u16string_view name, StructObject* super, std::u16string path,
                         std::optional<ClassKind> made_as);
  // The class of that name, made with `kind` (and the listed path, if any) when it is new.
  ClassObject* ClassFor(const std::string& name, ClassKind kind);
  Dino* MakeDino(ClassObject* cls, const DinoDescription& description, uint32_t id1, uint32_t id2);
  Structure* MakeStructure(ClassObject* cls, const StructureDescription& description);
  // The player's character, from player.description, in the level.
  PlayerCharacter* MakeCharacter(Player& player);

  // The player's controller goes; its entry in the controller list goes stale.
  void DestroyController(Player& player);
  void Register(ObjectBase* object);
  void MarkDestroyed(const ObjectBase& object) { destroyed_[object.object_index] = true; }
  void AddToLevel(ActorBase* actor);
  // Empties the actor's entry in "ULevel.Actors" (compacted later), if it has one.
  void RemoveFromLevel(const ActorBase& actor);
  void CompactLevel();
  std::u16string LevelPath() const;

  static World* installed_;

  NameTable names_;
  Journal journal_;
  struct Slot {
    ObjectBase* object = nullptr;
    int32_t serial = 0;
  };
  std::vector<Slot> slots_;
  std::vector<bool> destroyed_;  // by object index, beside slots_
  std::function<void(const ActorBase&)> destroy_listener_;
  mutable std::unordered_map<const ClassObject*, std::string> class_names_;
  int32_t next_serial_ = 1;
  ObjectPool pool_;            // before owned_: the storage outlives the objects
  ObjectPool component_pool_;  // actors' root and status components
  std::vector<std::unique_ptr<ObjectBase, ObjectPool::Release>> owned_;
  std::size_t garbage_ = 0;
  SlotIds level_ids_;  // where each actor stands in "ULevel.Actors"
  int32_t level_nulls_ = 0;

  ClassObject* natives_[static_cast<int>(Native::kCount)] = {};
  std::unordered_map<std::string, ClassObject*> classes_;  // by name
  std::vector<ClassDescription> listed_classes_;
  std::unordered_map<const ClassObject*, int32_t> instance_counts_;
  FName root_name_;
  FName status_name_;

  std::u16string map_name_;
  std::string root_;
  std::string save_directory_;
  bool reports_world_ = true;
  bool tribe_data_struct_ = true;
  std::vector<std::string> items_;
  std::vector<std::u16string> item_keys_;  // folded bare paths of the catalogue
  std::vector<TribeDescription> tribes_;
  std::vector<std::string> profiles_;
  std::vector<std::string> server_script_commands_;

  WorldObject* world_object_ = nullptr;
  Level* level_ = nullptr;
  GameMode* game_mode_ = nullptr;
  GameState* game_state_ = nullptr;
  WorldSettings* world_settings_ = nullptr;
  CheatManager* server_cheat_manager_ = nullptr;
  ScriptStructObject* tribe_struct_ = nullptr;

  std::vector<std::unique_ptr<Player>> players_;
  std::vector<Dino*> dinos_;  // file order, then spawn order
  std::vector<Structure*> structures_;
  std::vector<LocatedActor*> actors_;
  KindList dino_list_;  // the dinos and structures in the level, for the class queries
  KindList structure_list_;
  // By id pair. A destroyed dino keeps its entry until the next collection (FindDino passes it
  // over): erasing from a large hash map costs a few cache misses per dino, which a walk that
  // destroys many dinos would pay for each.
  std::unordered_map<uint64_t, Dino*> dino_index_;
  int32_t spawn_count_ = 0;
};

// An object owned by the world, not yet named or registered. Components come from a pool of
// their own (see LocatedActor).
template <class T>
T* World::Own() {
  constexpr bool kComponent =
      std::is_same_v<T, SceneComponent> || std::is_same_v<T, StatusComponent>;
  T* object = (kComponent ? component_pool_ : pool_).template New<T>();
  owned_.emplace_back(object);
  return object;
}

template <class T>
T* World::MakeOf(ClassObject* cls, std::u16string_view name) {
  T* object = Own<T>();
  object->class_private = cls;
  if (name.empty()) {
    // Instances are named after their class and numbered: Raptor_Character_BP_C_0, _1, ...
    const int32_t number = instance_counts_[cls]++;
    const FName& class_name = cls->name_private;
    object->name_private = class_name.Number == 0
                               ? FName{class_name.ComparisonIndex, number + 1}
                               : names_.Make(names_.ToString(class_name), number + 1);
  } else {
    object->name_private = names_.Add(name);
  }
  Register(object);
  if constexpr (std::is_base_of_v<LocatedActor, T>)
    object->root_component =
        MakeComponent<SceneComponent>(Native::kSceneComponent, root_name_, object);
  if constexpr (std::is_base_of_v<CharacterBase, T>)
    object->status_component =
        MakeComponent<StatusComponent>(Native::kStatusComponent, status_name_, object);
  return object;
}

template <class T>
T* World::MakeComponent(Native cls, FName name, ObjectBase* owner) {
  T* component = Own<T>();
  component->class_private = NativeClass(cls);
  component->name_private = name;
  component->owner = owner;
  Register(component);
  return component;
}

template <class T>
T* World::Make(Native cls, std::u16string_view name) {
  return MakeOf<T>(NativeClass(cls), name);
}

}  // namespace game
