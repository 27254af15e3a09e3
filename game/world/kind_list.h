// KindList: the level's actors of one kind (dinos, structures) in level order, each beside its
// class, so that a class query reads one compact array instead of visiting every object: on a
// world of a million actors the objects do not fit in any cache, the list does. An actor that
// leaves the level keeps its entry, emptied, until the list is compacted (when a quarter of it
// is empty), so that removal costs little and the order stays. Thread: the game thread.
#pragma once

#include <cstdint>
#include <vector>

#include "game/objects/objects.h"
#include "game/world/slot_ids.h"

namespace game {

class KindList {
 public:
  // Appends an actor that has just joined the level.
  void Add(ActorBase* actor) {
    actor->kind_id = slots_.Add(static_cast<int32_t>(entries_.size()));
    entries_.push_back({actor, actor->class_private});
  }
  // Empties the entry of an actor that leaves the level, if it has one.
  void Remove(const ActorBase& actor);

  // Runs `body` for every listed actor whose class is `cls` or derives from it, in level order.
  // The class test is made once per run of equal classes.
  template <class F>
  void ForEachOf(const ClassObject* cls, F body) const {
    const ClassObject* last = nullptr;
    bool last_passes = false;
    for (const Entry& entry : entries_) {
      if (entry.cls == nullptr) continue;
      if (entry.cls != last) {
        last = entry.cls;
        last_passes = entry.cls->IsChildOf(cls);
      }
      if (last_passes) body(entry.actor);
    }
  }

 private:
  struct Entry {
    ActorBase* actor;
    const ClassObject* cls;  // null once the actor has left the level
  };
  std::vector<Entry> entries_;
  SlotIds slots_;
  std::size_t removed_ = 0;
};

}  // namespace game
