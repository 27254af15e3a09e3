#include "entry/command_rows.h"

#include <algorithm>
#include <span>

#include "commands/command_groups.h"

namespace orvane {

std::vector<CommandRow> CommandRows() {
  std::vector<CommandRow> rows;
  for (std::span<const CommandRow> group :
       {ServerInfoRows(), PlayerQueryRows(), DinoCommandRows(), TribeListingRows(), WorldDumpRows(),
        GivingRows(), MessagingRows(), PlayerTribeEditRows(), DestructionRows(),
        ProfileRemovalRows(), StressTestRows()})
    rows.insert(rows.end(), group.begin(), group.end());
  std::sort(rows.begin(), rows.end(),
            [](const CommandRow& a, const CommandRow& b) { return a.position < b.position; });
  return rows;
}

}  // namespace orvane
