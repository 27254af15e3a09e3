// Class names and blueprint paths of actors, and the two rules that match an administrator's
// text against them: ActorNameMatches ignores case, StructureMatchesBlueprint does not.
// Thread: the game thread.
#pragma once

#include <sdk/game_types.h>

namespace orvane {

// The short name of the actor's class, "_C" kept. REQUIRES: the actor has a class.
FString ActorClassName(const AActor* actor);
// "Blueprint'<path>'" from the class default object's path, a trailing "_C" (any case)
// dropped, "Default__" kept. Empty for a null class.
FString ClassBlueprintPath(UClass* cls);
// ClassBlueprintPath of the object's class with every "Default__" removed. Empty for a null
// object or an object without a class.
FString ActorBlueprintPath(const UObjectBase* object);
// True when `text` equals, case-sensitively, the consumed item's path, the pickup item's
// path or the structure's own path.
bool StructureMatchesBlueprint(const APrimalStructure* structure, const FString& text);
// The path the actor-destroy commands compare: a structure's consumed (else pickup) item path,
// a dino's own path, nothing for other actors.
FString ActorMatchBlueprint(const AActor* actor);
// True when `text` equals the class name or ActorMatchBlueprint, ignoring case.
bool ActorNameMatches(const AActor* actor, const FString& text);

}  // namespace orvane
