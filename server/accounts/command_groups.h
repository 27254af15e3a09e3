// The command groups: every RCON command, the plugin's and the server's, belongs to one group,
// and an account's patterns may name a group instead of each command. The table is
// command_groups.json beside this file, built into the server; the command reference prints the
// same file, so what a pattern matches is what the reference shows. Constant; any thread.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace server::accounts {

struct CommandGroup {
  std::string name;
  std::vector<std::string> commands;  // as they are registered
};

// The groups in the reference's order, read from the built-in table at first use.
const std::vector<CommandGroup>& CommandGroups();

// The table's text, as built in.
std::string_view CommandGroupsJson();

}  // namespace server::accounts
