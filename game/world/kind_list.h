// KindList: the level's actors of one kind (dinos, structures) in level order, each beside its
// class, so that a class query reads one compact array instead of visiting every object: on a
// world of a million actors the objects do not fit in any cache, the list does. An actor that
// leaves the level keeps its entry, marked gone in a bitmap beside the list, until the world
// collects (Compact): removal then writes one bit, neither the list nor the actor, and the order
// stays. Thread: the game thread.
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
    gone_.push_back(false);
  }
  // Marks the entry of an actor that leaves the level, if it has one.
  void Remove(const ActorBase& actor);
  // Drops the entries marked gone.
  void Compact();

  // Runs `body` for every listed actor whose class is `cls` or derives from it, in level order.
  // The class test is made once per run of equal classes; the bitmap is read only when some
  // entry is gone (not between collections, when queries are most frequent).
  template <class F>
  void ForEachOf(const ClassObject* cls, F body) const {
    const ClassObject* last = nullptr;
    bool last_passes = false;
    auto visit = [&](const Entry& entry) {
      if (entry.cls != last) {
        last = entry.cls;
        last_passes = entry.cls->IsChildOf(cls);
      }
      if (last_passes) body(entry.actor);
    };
    if (removed_ == 0) {
      for (const Entry& entry : entries_) visit(entry);
      return;
    }
    for (std::size_t i = 0; i < entries_.size(); ++i)
      if (!gone_[i]) visit(entries_[i]);
  }

 private:
  struct Entry {
    ActorBase* actor;
    const ClassObject* cls;
  };
  std::vector<Entry> entries_;
  std::vector<bool> gone_;  // by position, beside entries_
  SlotIds slots_;
  std::size_t removed_ = 0;
};

}  // namespace game
