// The JSON layer under the world-file reader: reading the file, and parsing its text into a
// JSON value that keeps no surprises. Every error is a WorldFileError naming the place in the
// world ("players[2].team") or in the file, never one of the JSON library's own exceptions.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace game {

// The bytes of the world file at `path`. Throws WorldFileError (its text without the path)
// with the system's reason when the file cannot be opened or read, when it is not a regular
// file (a device, a directory, a pipe) or when it is larger than `max_bytes`.
std::string ReadWorldFileText(const std::string& path, std::uintmax_t max_bytes);

// Parses world-file text: JSON with // and /* */ comments allowed. A key given twice in one
// object is refused with its place; so is a number beyond the range of a double.
nlohmann::json ParseWorldJson(std::string_view text);

// Numbers with a fraction in world files: JSON numbers, or "nan", "inf" and "-inf" for the
// values JSON has no number for. The writer writes that form, so every export reloads.
bool IsWorldNumber(const nlohmann::json& j);
double WorldNumber(const nlohmann::json& j);  // REQUIRES: IsWorldNumber(j)
// "nan", "inf" or "-inf" for those values; null for a finite one.
const char* NonFiniteWorldNumber(double value);

}  // namespace game
