// SlotIds: where the entries of an ordered array that is compacted from time to time now stand,
// by ids that never change. An object keeps its entry's id rather than its position, so that a
// compaction rewrites this table only, never the objects: on a world of a million actors a pass
// that wrote into every remaining object would fetch each of them from memory.
// Thread: the game thread.
#pragma once

#include <cstdint>
#include <vector>

namespace game {

class SlotIds {
 public:
  // The id of an entry appended at `position`.
  int32_t Add(int32_t position) {
    const auto id = static_cast<int32_t>(positions_.size());
    positions_.push_back(position);
    ids_.push_back(id);
    return id;
  }
  // The entry's position now; -1 once it has been dropped.
  int32_t PositionOf(int32_t id) const { return positions_[id]; }

  // Moves the entries that `keep(position)` keeps to the front, in order, by `move(from, to)`,
  // and forgets the others; returns how many are kept.
  template <class Keep, class Move>
  int32_t Compact(Keep keep, Move move) {
    int32_t kept = 0;
    for (int32_t i = 0; i < static_cast<int32_t>(ids_.size()); ++i) {
      if (!keep(i)) {
        positions_[ids_[i]] = -1;
        continue;
      }
      positions_[ids_[i]] = kept;
      ids_[kept] = ids_[i];
      move(i, kept);
      ++kept;
    }
    ids_.resize(kept);
    return kept;
  }

 private:
  std::vector<int32_t> positions_;  // by id
  std::vector<int32_t> ids_;        // by position
};

}  // namespace game
