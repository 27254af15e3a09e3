// The table of each command group, joined by the command table in registration order.
#pragma once

#include <span>

#include "core/command_table.h"

namespace orvane {

std::span<const CommandEntry> ServerInfoCommands();
std::span<const CommandEntry> PlayerQueryCommands();
std::span<const CommandEntry> DinoCommands();

}  // namespace orvane
