// The radius report: the tribes' structures that the game's sphere query finds, grouped by team
// and blueprint, as "ListAllStructuresInRadius" writes and answers it.
// Thread: the game thread.
#pragma once

#include <sdk/game_types.h>

namespace orvane {

// The largest radius asked of the game: a larger sphere query would stall the game thread for
// too long.
inline constexpr float kMaxRadius = 50000.0f;

// One line per group, "<owner>(<team>) - <blueprint>(<count>)", then
// "Structures: <added> (Added) <updated> (Updated) <total> (Total)", without a final line feed.
// Only structures of teams above the tamed threshold take part.
// REQUIRES: `world` is not null.
FString StructuresInSphereReport(UWorld* world, const FVector& center, float radius);

}  // namespace orvane
