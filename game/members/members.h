// Registration of every symbolic game member with the framework: the fields by their offsets
// in the stand-in's object layouts, the functions by plain functions that act on the installed
// World. Thread: the game thread.
#pragma once

#include "game/world/world.h"

namespace game {

// Registers all members (allocator and RCON connection included).
void RegisterMembers();

namespace members {

// The world the registered functions act on: the installed one.
inline World& W() { return World::Installed(); }

void RegisterFields();
void RegisterObjectFunctions();
void RegisterWorldFunctions();
void RegisterActorFunctions();
void RegisterPlayerFunctions();
void RegisterCheatFunctions();
}  // namespace members

}  // namespace game
