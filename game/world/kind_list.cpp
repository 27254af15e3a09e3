#include "game/world/kind_list.h"

namespace game {

void KindList::Remove(ActorBase* actor) {
  if (actor->kind_slot < 0) return;
  entries_[actor->kind_slot].cls = nullptr;
  actor->kind_slot = -1;
  ++removed_;
  if (removed_ * 4 >= entries_.size()) Compact();
}

void KindList::Compact() {
  std::size_t kept = 0;
  for (const Entry& entry : entries_) {
    if (entry.cls == nullptr) continue;
    entry.actor->kind_slot = static_cast<int32_t>(kept);
    entries_[kept++] = entry;
  }
  entries_.resize(kept);
  removed_ = 0;
}

}  // namespace game
