#include "game/world/kind_list.h"

namespace game {

void KindList::Remove(ActorBase* actor) {
  if (actor->kind_id < 0) return;
  entries_[slots_.PositionOf(actor->kind_id)].cls = nullptr;
  actor->kind_id = -1;
  if (++removed_ * 4 < entries_.size()) return;
  const int32_t kept =
      slots_.Compact([&](int32_t i) { return entries_[i].cls != nullptr; },
                     [&](int32_t from, int32_t to) { entries_[to] = entries_[from]; });
  entries_.resize(kept);
  removed_ = 0;
}

}  // namespace game
