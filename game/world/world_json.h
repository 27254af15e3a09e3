// The JSON layer under the world-file reader: reading the file, and parsing its text into a
// JSON value that keeps no surprises. Every error is a WorldFileError naming the place in the
// world ("players[2].team") or in the file, never one of the JSON library's own exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace game {

// The bytes of the world file at `path`. Throws WorldFileError (its text without the path)
// with the system's reason when the file cannot be opened or read, when it is not a regular
// file (a device, a directory, a pipe) or when it is larger than `max_bytes`.
std::string ReadWorldFileText(const std::string& path, std::uintmax_t max_bytes);

// Takes the elements of chosen lists of the top-level object while the text is parsed, so
// that a list of a million elements is never held whole as JSON values. The parsed value then
// has those lists empty.
class WorldJsonLists {
 public:
  virtual ~WorldJsonLists() = default;
  // Whether the elements of the top-level list `key` go to Element.
  virtual bool Takes(std::string_view key) const = 0;
  // The element at `index` of the list `key`, whole; it is reused once this returns.
  virtual void Element(std::string_view key, std::size_t index, nlohmann::json& element) = 0;
};

// Parses world-file text: JSON with // and /* */ comments allowed. A key given twice in one
// object is refused with its place; so is a number beyond the range of a double.
nlohmann::json ParseWorldJson(std::string_view text, WorldJsonLists* lists = nullptr);

// Numbers with a fraction in world files: JSON numbers, or "nan", "inf" and "-inf" for the
// values JSON has no number for. The writer writes that form, so every export reloads.
bool IsWorldNumber(const nlohmann::json& j);
double WorldNumber(const nlohmann::json& j);  // REQUIRES: IsWorldNumber(j)
// "nan", "inf" or "-inf" for those values; null for a finite one.
const char* NonFiniteWorldNumber(double value);

}  // namespace game
