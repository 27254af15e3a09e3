#include "commands/command_groups.h"

namespace orvane {

std::span<const CommandEntry> ServerInfoCommands() { return {}; }

}  // namespace orvane
