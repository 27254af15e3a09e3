// The world file: JSON to WorldDescription (strict: an unknown key, a wrong type or a bad value is
// a WorldFileError naming its place, such as "players[2].team"), the checks that need the whole
// world (duplicate ids, classes that cannot be made), and WorldDescription back to JSON, as the
// state export writes it. Pure functions, any thread.
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "game/game.h"
#include "game/world/world_data.h"

namespace game {

// Parses a world file. Throws WorldFileError. The result still has to pass CheckWorldDescription.
WorldDescription ParseWorldFile(std::string_view json);

// Checks what only the whole world shows: duplicate EOS ids and dino id pairs, duplicate class
// names, and classes that cannot be made with the kind an entity needs. Throws WorldFileError.
void CheckWorldDescription(const WorldDescription& description);

// The world file form of a description: every key written, runtime facts included (see the top of
// world_file.cpp for their names).
nlohmann::ordered_json WorldFileJson(const WorldDescription& description);

// "/Game/Emulated/<Stem>.Default__<Name>", Stem being the name less a trailing "_C".
std::string DefaultClassPath(std::string_view class_name);
const char* ClassKindName(ClassKind kind);

}  // namespace game
