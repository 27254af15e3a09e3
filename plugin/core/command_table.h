// CommandTable: registers the marker command and the counted commands it is given with the
// framework, in the order given, and removes them again. It knows no command itself: the
// rows come from the entry room (entry/command_rows.h).
// Thread: the loader's thread (library attach and detach).
#pragma once

#include <cstdint>
#include <span>

namespace orvane {

class Request;

// A command's handler: everything particular to one command. The framework's callback around
// it builds the Request (connection, packet, the command's registered name).
using CommandHandler = void (*)(Request& request);

// One counted command: its place in the registration order (from 1), its registered name and
// its handler.
struct CommandRow {
  int32_t position;
  const char* name;
  CommandHandler handler;
};

// Registers "Orvane.info" and then each row, counting the rows.
// REQUIRES: every row's name and handler stay valid until Unload.
void Load(std::span<const CommandRow> rows);
// Removes "Orvane.info" and the rows' commands.
void Unload(std::span<const CommandRow> rows);
// How many counted commands Load has registered since the library was loaded.
int32_t RegistrationCount();

}  // namespace orvane
