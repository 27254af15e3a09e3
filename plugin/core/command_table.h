// CommandTable: the marker command and the counted commands in their fixed registration order.
// Load registers them with the framework, Unload removes them.
// Thread: the loader's thread (library attach and detach).
#pragma once

#include <cstdint>
#include <span>

namespace orvane {

class Request;

// A command's handler: everything particular to one command. The framework's callback around
// it builds the Request (connection, packet, the command's registered name).
using CommandHandler = void (*)(Request& request);

// One counted command: its registered name and its handler (null while the command is not
// built; such a row is not registered).
struct CommandRow {
  const char* name;
  CommandHandler handler;
};

// Every counted command, in registration order (commands/command_list.cpp).
std::span<const CommandRow> CommandRows();

// Registers "Orvane.info" and the counted commands that have a handler, counting them.
void Load();
// Removes "Orvane.info" and the counted commands that Load registered.
void Unload();
// How many counted commands Load has registered since the library was loaded.
int32_t RegistrationCount();

}  // namespace orvane
