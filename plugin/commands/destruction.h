// The routines that destroy the members of one tribe at once, shared by the destruction
// commands and the timed structure sweeps. Each walks a snapshot of the level; an actor belongs
// to the tribe when its team number equals the tribe id.
// Thread: the game thread.
#pragma once

#include <cstdint>

#include <sdk/fstring.h>

namespace orvane {

// Force-destroys the tribe's structures; the number destroyed.
int32_t DestroyTribeStructuresNow(int32_t tribe_id);
// Force-destroys the tribe's structures whose class name equals `text` ignoring case, or whose
// blueprint paths hold `text` exactly; the number destroyed.
int32_t DestroyTribeStructuresByBlueprint(int32_t tribe_id, const FString& text);
// Destroys the tribe's dinos with the dinos' own destroy; true when there was at least one.
bool DestroyTribeDinosNow(int32_t tribe_id);
// Destroys the tribe's pawns (player characters and dinos among them).
void DestroyTribePawnsNow(int32_t tribe_id);

}  // namespace orvane
