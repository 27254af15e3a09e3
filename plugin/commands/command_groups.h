// The command groups: each group file ends in its table of rows (name, handler, place in the
// registration order), its handlers local to the file. The entry room (entry/) joins the
// tables; nothing else names a command for the registry.
// Thread: the tables are constant; the handlers run on the game thread.
#pragma once

#include <span>

#include "core/command_table.h"
#include "core/request.h"

namespace orvane {

std::span<const CommandRow> ServerInfoRows();       // server_info.cpp
std::span<const CommandRow> PlayerQueryRows();      // player_queries.cpp
std::span<const CommandRow> DinoCommandRows();      // dino_commands.cpp
std::span<const CommandRow> TribeListingRows();     // tribe_listings.cpp
std::span<const CommandRow> WorldDumpRows();        // world_dumps.cpp
std::span<const CommandRow> GivingRows();           // giving.cpp
std::span<const CommandRow> MessagingRows();        // messaging.cpp
std::span<const CommandRow> PlayerTribeEditRows();  // player_tribe_edits.cpp
std::span<const CommandRow> DestructionRows();      // destruction.cpp
std::span<const CommandRow> ProfileRemovalRows();   // profile_removal.cpp
std::span<const CommandRow> StressTestRows();       // diagnostics/test_command.cpp

}  // namespace orvane
