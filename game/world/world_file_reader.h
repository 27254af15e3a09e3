// JSON to WorldDescription, strictly: an unknown key (with the keys allowed there), a key given
// twice, a wrong type or a bad value is a WorldFileError naming its place, such as
// "players[2].team". Comments are allowed, and "nan", "inf" and "-inf" stand for those numbers
// (world_json.h). Unknown keys and the file's own errors are refused while it is parsed, and
// time and memory stay linear in its size, whatever it holds. It accepts what the state export
// writes (world_file_writer.h). Pure, any thread.
#pragma once

#include <string_view>

#include "game/world/world_description.h"

namespace game {

// Parses a world file. The result still has to pass CheckWorldDescription.
WorldDescription ParseWorldFile(std::string_view json);

}  // namespace game
