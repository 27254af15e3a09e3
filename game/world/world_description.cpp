#include "game/world/world_description.h"

#include <map>
#include <set>
#include <unordered_set>

#include "game/util/text.h"
#include "game/world/native_classes.h"

namespace game {
namespace {

[[noreturn]] void Fail(const std::string& place, const std::string& message) {
  throw WorldFileError(place, message);
}

// The place of a key of a list's element, such as "dinos[2].class", made into text only for an
// error: checking a million dinos would otherwise spell out millions of places no error names.
struct ElementPlace {
  const char* list;
  std::size_t index;
  const char* key;  // empty for the element itself

  operator std::string() const {
    const std::string element = ListPlace(list, index);
    return *key == '\0' ? element : element + "." + key;
  }
};

// The game's names ignore ASCII case and keep their first spelling: another spelling of a name
// is that name to the game, shown and exported as the first spelling.
std::u16string NameKey(std::string_view name) { return FoldCase(ToUtf16(name)); }

// The game's class of that name, or null. Another spelling of it is refused: it would be made as
// a class of its own that the game shows, and the export writes, as the game's class.
const NativeClassInfo* GameClass(const std::string& name, const ElementPlace& place) {
  static const std::map<std::u16string, const NativeClassInfo*> by_key = [] {
    std::map<std::u16string, const NativeClassInfo*> map;
    for (const NativeClassInfo& info : kNativeClasses) map.emplace(NameKey(info.name), &info);
    return map;
  }();
  auto it = by_key.find(NameKey(name));
  if (it == by_key.end()) return nullptr;
  if (name != it->second->name)
    Fail(place, "class \"" + name + "\" is the game's \"" + it->second->name +
                    "\" spelled otherwise: class names ignore case");
  return it->second;
}

// Tracks the kind each class name is made with, in file order.
class ClassKinds {
 public:
  void List(const ClassDescription& c, std::size_t index) {
    const ElementPlace place{"classes", index, "name"};
    if (c.name.empty()) Fail(place, "a class needs a non-empty name");
    if (GameClass(c.name, place)) Fail(place, "\"" + c.name + "\" is a class of the game itself");
    if (!kinds_.emplace(c.name, c.kind).second) Fail(place, "duplicate class \"" + c.name + "\"");
    CheckOtherSpellings(c.name, c.kind, place);
    if (c.path && c.path->empty())
      Fail(ElementPlace{"classes", index, "path"}, "a class path cannot be empty");
  }
  void Use(const std::string& name, ClassKind kind, const ElementPlace& place) {
    if (name.empty()) Fail(place, "the class name is empty");
    // A name met before is no spelling of a game class, and its spellings are checked: a million
    // dinos of a few classes need only a lookup each.
    auto it = kinds_.find(name);
    if (it == kinds_.end()) {
      if (const NativeClassInfo* native = GameClass(name, place)) {
        if (native->made_as != kind)
          Fail(place,
               "class \"" + name + "\" of the game cannot be made as kind " + ClassKindName(kind));
        return;
      }
      kinds_.emplace(name, kind);
      CheckOtherSpellings(name, kind, place);
      return;
    }
    if (it->second != kind) {
      Fail(place, "class \"" + name + "\" is a " + ClassKindName(it->second) + " class, not a " +
                      ClassKindName(kind) + " class");
    }
  }
  std::optional<ClassKind> KindOf(const std::string& name) const {
    if (const NativeClassInfo* native = FindNativeClass(name)) return native->made_as;
    auto it = kinds_.find(name);
    return it == kinds_.end() ? std::nullopt : std::optional(it->second);
  }

 private:
  // Spellings of one name are separate classes that the game shows, and the export writes, as
  // the first: they must be of one kind, or the export would not load.
  void CheckOtherSpellings(const std::string& name, ClassKind kind, const ElementPlace& place) {
    auto [it, added] = spellings_.emplace(NameKey(name), std::pair(name, kind));
    if (!added && it->second.second != kind) {
      Fail(place, "class \"" + name + "\" is a " + ClassKindName(kind) + " class, but \"" +
                      it->second.first +
                      "\", the same name to the game (names ignore case), is a " +
                      ClassKindName(it->second.second) + " class");
    }
  }

  std::map<std::string, ClassKind> kinds_;
  std::map<std::u16string, std::pair<std::string, ClassKind>> spellings_;  // the first of each
};

}  // namespace

std::string ListPlace(const std::string& list, std::size_t index) {
  return list + "[" + std::to_string(index) + "]";
}

void CheckWorldDescription(const WorldDescription& description) {
  ClassKinds kinds;
  for (std::size_t i = 0; i < description.classes.size(); ++i)
    kinds.List(description.classes[i], i);

  std::set<int32_t> tribe_ids;
  for (std::size_t i = 0; i < description.tribes.size(); ++i) {
    const int32_t id = description.tribes[i].id;
    if (id == 0)
      Fail(ListPlace("tribes", i) + ".id", "a tribe needs an id; 0 is the team of no tribe");
    if (!tribe_ids.insert(id).second)
      Fail(ListPlace("tribes", i) + ".id", "duplicate tribe id " + std::to_string(id));
  }

  std::unordered_set<std::string> eos_ids;
  for (std::size_t i = 0; i < description.players.size(); ++i) {
    const PlayerDescription& p = description.players[i];
    const std::string place = ListPlace("players", i);
    if (!p.eos_id.empty() && !eos_ids.insert(p.eos_id).second)
      Fail(place + ".eos_id", "duplicate EOS id \"" + p.eos_id + "\"");
    if (p.tribe && *p.tribe != p.team) {
      Fail(place + ".team", "team " + std::to_string(p.team) + " disagrees with tribe " +
                                std::to_string(*p.tribe) +
                                ": a player in a tribe has the tribe's id as team");
    }
  }

  std::unordered_set<uint64_t> dino_ids;
  for (std::size_t i = 0; i < description.dinos.size(); ++i) {
    const DinoDescription& d = description.dinos[i];
    kinds.Use(d.class_name, ClassKind::kDino, {"dinos", i, "class"});
    if (d.id1 && d.id2 && !dino_ids.insert((uint64_t{*d.id1} << 32) | *d.id2).second) {
      Fail(ElementPlace{"dinos", i, ""},
           "duplicate dino id pair " + std::to_string(*d.id1) + ":" + std::to_string(*d.id2));
    }
  }
  for (std::size_t i = 0; i < description.structures.size(); ++i) {
    const StructureDescription& s = description.structures[i];
    kinds.Use(s.class_name, ClassKind::kStructure, {"structures", i, "class"});
    if (s.consumes_item)
      kinds.Use(*s.consumes_item, ClassKind::kItem, {"structures", i, "consumes_item"});
    if (s.pickup_item)
      kinds.Use(*s.pickup_item, ClassKind::kItem, {"structures", i, "pickup_item"});
  }
  for (std::size_t i = 0; i < description.actors.size(); ++i) {
    const ActorDescription& a = description.actors[i];
    ClassKind kind = ClassKind::kActor;
    if (a.kind) {
      kind = *a.kind;
    } else if (auto listed = kinds.KindOf(a.class_name); listed == ClassKind::kPawn) {
      kind = ClassKind::kPawn;
    }
    kinds.Use(a.class_name, kind, {"actors", i, "class"});
  }
}

const char* ClassKindName(ClassKind kind) {
  switch (kind) {
    case ClassKind::kDino:
      return "dino";
    case ClassKind::kStructure:
      return "structure";
    case ClassKind::kPawn:
      return "pawn";
    case ClassKind::kActor:
      return "actor";
    case ClassKind::kItem:
      return "item";
  }
  return "actor";
}

std::string DefaultClassPath(std::string_view class_name) {
  std::string_view stem = class_name;
  if (stem.size() >= 2 && stem.substr(stem.size() - 2) == "_C") stem.remove_suffix(2);
  return "/Game/Emulated/" + std::string(stem) + ".Default__" + std::string(class_name);
}

}  // namespace game
