// The key of the dino index: both ids of a dino in one number.
#pragma once

#include <cstdint>

namespace game {

inline uint64_t DinoKey(uint32_t id1, uint32_t id2) { return (uint64_t{id1} << 32) | id2; }

}  // namespace game
