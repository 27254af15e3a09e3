// The JSON layer under the world-file reader: reading the file, and parsing its text into a
// JSON value that keeps no surprises. Every error is a WorldFileError naming the place in the
// world ("players[2].team") or in the file, never one of the JSON library's own exceptions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace game {

// The bytes of the world file at `path`. Throws WorldFileError (its text without the path)
// with the system's reason when the file cannot be opened or read, when it is not a regular
// file (a device, a directory, a pipe) or when it is larger than `max_bytes`.
std::string ReadWorldFileText(const std::string& path, std::uintmax_t max_bytes);

// What the parse expects at a place of the file. An object where an object is expected may have
// only the keys listed for it: another key is refused, naming the keys allowed, before its value
// is read. Any other object or list (where a plain value is expected, or where the other kind of
// container is) is kept empty: its contents are parsed, and their syntax errors and duplicate
// keys refused, but never built, as its reader refuses it by its type alone.
struct JsonShape {
  enum class Kind { kValue, kObject, kList };
  struct Key {
    std::string_view name;
    const JsonShape* value;
  };
  Kind kind = Kind::kValue;
  std::vector<Key> keys;               // kObject: in the order an error lists them
  const JsonShape* element = nullptr;  // kList
};

// Objects and lists nested deeper than this are refused: a world file needs six levels.
inline constexpr std::size_t kMaxWorldJsonDepth = 64;

// Takes the elements of the top-level lists while the text is parsed, so that a list of a
// million elements is never held whole as JSON values. The parsed value has those lists empty.
class WorldJsonLists {
 public:
  virtual ~WorldJsonLists() = default;
  // The element at `index` of the list under the top shape's key number `key`, whole; it is
  // reused once this returns. False: the rest of that list is parsed but not built.
  virtual bool Element(std::size_t key, std::size_t index, nlohmann::json& element) = 0;
};

// Parses world-file text against `top`: JSON with // and /* */ comments allowed. Also refused,
// with their place: a key given twice in one object, a number beyond the range of a double,
// nesting deeper than kMaxWorldJsonDepth. Time and memory are linear in the text's length.
nlohmann::json ParseWorldJson(std::string_view text, const JsonShape& top, WorldJsonLists& lists);

// Numbers with a fraction in world files: JSON numbers, or "nan", "inf" and "-inf" for the
// values JSON has no number for. The writer writes that form, so every export reloads.
bool IsWorldNumber(const nlohmann::json& j);
double WorldNumber(const nlohmann::json& j);  // REQUIRES: IsWorldNumber(j)
// "nan", "inf" or "-inf" for those values; null for a finite one.
const char* NonFiniteWorldNumber(double value);
// Appends `value` in that form, a finite one as the JSON library's dump writes it.
void AppendWorldNumber(std::string& out, double value);

}  // namespace game
