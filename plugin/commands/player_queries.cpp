#include "commands/command_groups.h"

namespace orvane {

std::span<const CommandEntry> PlayerQueryCommands() { return {}; }

}  // namespace orvane
