// Lookups and walks over the running world: players by EOS id, dinos by their id pair, the
// online players, the level's actors, actors of a class, team classes and a player's tribe.
// Lookups never reply and never throw; callers decide what a null or an empty walk means.
// Thread: the game thread.
#pragma once

#include <cstdint>
#include <functional>

#include <sdk/game_types.h>

#include "host/game_access.h"

namespace orvane {

// Team numbers: above the tamed threshold a dino is tamed, below the wild limit wild;
// the unclaimed team marks dinos nobody owns.
inline constexpr int32_t kTamedThreshold = 50000;
inline constexpr int32_t kWildLimit = 50000;
inline constexpr int32_t kUnclaimedTeam = 2000000000;

inline bool IsTamedTeam(int32_t team) { return team > kTamedThreshold; }
inline bool IsWildTeamForCounting(int32_t team) { return team < kWildLimit; }
inline bool IsWildTeamForKilling(int32_t team) { return team <= kWildLimit; }
inline bool IsUnclaimedTeam(int32_t team) { return team == kUnclaimedTeam; }

// The framework's online player with exactly this EOS id (a fresh copy is passed), or null.
AShooterPlayerController* FindPlayerByEosId(const FString& eos_id);
// The dino with this id pair in the current world, or null.
APrimalDinoCharacter* FindDinoById(uint32_t id1, uint32_t id2);

// What an online walk does at a stale weak reference.
enum class StaleRule {
  kEnd,   // stop at once and report it: the caller sends its stale-reference reply
  kSkip,  // pass the entry over and go on
};
// Runs `body` for each live controller of the world's controller list, bounds fixed before the
// walk. Returns true when the walk ended early at a stale entry (kEnd only).
bool ForEachOnlinePlayer(StaleRule rule,
                         const std::function<void(AShooterPlayerController*)>& body);
// Runs `body` for every non-null actor of a snapshot of the level's actors, so the body may
// destroy actors.
void ForEachLevelActor(const std::function<void(AActor*)>& body);
// The same over the level's own list, for walks that neither spawn nor destroy actors: on a
// large level the copy costs as much as a count over it.
void ReadEachLevelActor(const std::function<void(AActor*)>& body);
// Runs `body` for each non-null entry of a list of actors that the body does not change. The
// actors lie wherever the game made them, so on a large list each visit waits for memory;
// asking for the actor a few places ahead lets those waits overlap (a prefetch of a null entry
// does nothing).
template <class Body>
void ForEachListedActor(const TArray<AActor*>& actors, Body&& body) {
  constexpr int32_t kAhead = 8;
  const int32_t count = actors.Num();
  for (int32_t i = 0; i < count; ++i) {
    if (i + kAhead < count) __builtin_prefetch(actors[i + kAhead]);
    if (AActor* actor = actors[i]) body(actor);
  }
}
// Every actor of `cls` in the current world (entries may be null).
TArray<AActor*> GetActorsOfClass(UClass* cls);
// Inline, as TeamOf: level walks run both once per actor.
inline bool IsActorOfClass(const AActor* actor, UClass* cls) { return host::IsA(actor, cls); }

// The controller's team number as a tribe id, or its player id when the team is 0.
uint64_t TribeIdOfPlayer(AShooterPlayerController* controller);
// The player's character when present and alive, else null.
AShooterCharacter* LivingCharacterOf(AShooterPlayerController* controller);

// The team number of any actor (dino, structure, pawn, controller).
inline int32_t TeamOf(const AActor* actor) {
  return host::Field(actor, sym::UPrimalActor::TargetingTeam);
}

}  // namespace orvane
