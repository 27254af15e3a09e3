// CommandTable: the marker command, the counted commands in their fixed registration order,
// and the timer entry; Load registers them with the framework, Unload removes them.
// Thread: the loader's thread (library attach and detach).
#pragma once

#include <cstdint>
#include <span>

#include <sdk/game_types.h>

namespace orvane {

using RconHandler = void (*)(RCONClientConnection*, RCONPacket*, UWorld*);

// One command of a command group's table.
struct CommandEntry {
  const char* name;
  RconHandler handler;
};

// The counted commands that have a handler, in registration order.
std::span<const CommandEntry> CommandTable();

// Registers "Orvane.info", the counted commands (counting them) and the timer callback.
void Load();
// Removes "Orvane.info" and the counted commands (not the timer callback).
void Unload();
// How many counted commands Load has registered since the library was loaded.
int32_t RegistrationCount();

}  // namespace orvane
