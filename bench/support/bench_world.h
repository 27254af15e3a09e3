// Generated worlds for the benchmarks: the same deterministic mix at every size, so that the
// cost per actor can be compared across sizes.
#pragma once

#include <cstdint>
#include <string>

#include "game/world/world_description.h"

namespace bench {

// The tribe that owns the tamed dinos and the structures of a generated world (the first tribe).
inline constexpr int32_t kBenchTribe = 1000001;

// A world of about `actors` level actors: 16 players (controller and character each, eight of
// them in kBenchTribe), then 30% dinos (half tamed, spread over four tribes; a few unclaimed;
// the rest wild), 60% structures of the four tribes and 10% other actors, laid out on a grid of
// 100-unit cells. Deterministic.
game::WorldDescription GeneratedWorld(int32_t actors);

// The same world as a world file (JSON text).
std::string GeneratedWorldJson(int32_t actors);

}  // namespace bench
