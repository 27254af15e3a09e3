// The entry room's join: every command group's table in one list, in the registration order
// (each row's position). The count of commands is the length of this list.
// Thread: any; the rows are constant.
#pragma once

#include <vector>

#include "core/command_table.h"

namespace orvane {

// Every counted command, ordered by position.
std::vector<CommandRow> CommandRows();

}  // namespace orvane
