// JSON to WorldDescription, strictly: an unknown key, a wrong type or a bad value is a
// WorldFileError naming its place, such as "players[2].team". It accepts what the state export
// writes (world_file_writer.h). Pure, any thread.
#pragma once

#include <string_view>

#include "game/world/world_description.h"

namespace game {

// Parses a world file. The result still has to pass CheckWorldDescription.
WorldDescription ParseWorldFile(std::string_view json);

}  // namespace game
