#include "game/world/kind_list.h"

namespace game {

void KindList::Remove(const ActorBase& actor) {
  const int32_t at = actor.kind_id < 0 ? -1 : slots_.PositionOf(actor.kind_id);
  if (at < 0 || entries_[at].cls == nullptr) return;
  entries_[at].cls = nullptr;
  if (++removed_ * 4 < entries_.size()) return;
  const int32_t kept =
      slots_.Compact([&](int32_t i) { return entries_[i].cls != nullptr; },
                     [&](int32_t from, int32_t to) { entries_[to] = entries_[from]; });
  entries_.resize(kept);
  removed_ = 0;
}

}  // namespace game
