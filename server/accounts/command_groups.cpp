#include "server/accounts/command_groups.h"

#include <nlohmann/json.hpp>

namespace server::accounts {

const std::vector<CommandGroup>& CommandGroups() {
  static const std::vector<CommandGroup> groups = [] {
    const auto table = nlohmann::json::parse(CommandGroupsJson());
    std::vector<CommandGroup> parsed;
    for (const auto& group : table.at("groups"))
      parsed.push_back({group.at("name"), group.at("commands")});
    return parsed;
  }();
  return groups;
}

}  // namespace server::accounts
