#include "commands/command_groups.h"

namespace orvane {

std::span<const CommandEntry> DinoCommands() { return {}; }

}  // namespace orvane
