#include "game/world/kind_list.h"

namespace game {

void KindList::Remove(const ActorBase& actor) {
  const int32_t at = actor.kind_id < 0 ? -1 : slots_.PositionOf(actor.kind_id);
  if (at < 0 || gone_[at]) return;
  gone_[at] = true;
  ++removed_;
}

void KindList::Compact() {
  if (removed_ == 0) return;
  const int32_t kept = slots_.Compact([&](int32_t i) { return !gone_[i]; },
                                      [&](int32_t from, int32_t to) {
                                        entries_[to] = entries_[from];
                                        gone_[to] = false;
                                      });
  entries_.resize(kept);
  gone_.resize(kept);
  removed_ = 0;
}

}  // namespace game
