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

// Tracks the kind of each class name, the game's own classes first, then in file order. The
// game's names ignore ASCII case and keep their first spelling, so a name spelled otherwise than
// where it first appeared is refused: the game would show it, and the export write it, as that
// first spelling, which may name another class or kind.
class ClassKinds {
 public:
  ClassKinds() {
    for (const NativeClassInfo& info : kNativeClasses)
      names_.emplace(Key(info.name), Name{info.name, info.made_as, true});
  }
  void List(const ClassDescription& c, const std::string& place) {
    if (c.name.empty()) Fail(place + ".name", "a class needs a non-empty name");
    if (auto [it, added] = names_.emplace(Key(c.name), Name{c.name, c.kind, false}); !added) {
      CheckSpelling(it->second, c.name, place + ".name");
      Fail(place + ".name", it->second.native ? "\"" + c.name + "\" is a class of the game itself"
                                              : "duplicate class \"" + c.name + "\"");
    }
    if (c.path && c.path->empty()) Fail(place + ".path", "a class path cannot be empty");
  }
  void Use(const std::string& name, ClassKind kind, const std::string& place) {
    if (name.empty()) Fail(place, "the class name is empty");
    auto [it, added] = names_.emplace(Key(name), Name{name, kind, false});
    if (added) return;
    const Name& known = it->second;
    CheckSpelling(known, name, place);
    if (known.kind == kind) return;
    if (known.native)
      Fail(place,
           "class \"" + name + "\" of the game cannot be made as kind " + ClassKindName(kind));
    Fail(place, "class \"" + name + "\" is a " + ClassKindName(*known.kind) + " class, not a " +
                    ClassKindName(kind) + " class");
  }
  std::optional<ClassKind> KindOf(const std::string& name) const {
    auto it = names_.find(Key(name));
    return it == names_.end() ? std::nullopt : it->second.kind;
  }

 private:
  struct Name {
    std::string spelling;           // the first
    std::optional<ClassKind> kind;  // a game's class: the kind it may be made as, if any
    bool native;
  };
  static std::u16string Key(std::string_view name) { return FoldCase(ToUtf16(name)); }
  static void CheckSpelling(const Name& known, const std::string& name, const std::string& place) {
    if (known.spelling != name)
      Fail(place, "class \"" + name + "\" is \"" + known.spelling +
                      "\" spelled otherwise: class names ignore case");
  }

  std::map<std::u16string, Name> names_;
};

}  // namespace

std::string ListPlace(const std::string& list, std::size_t index) {
  return list + "[" + std::to_string(index) + "]";
}

void CheckWorldDescription(const WorldDescription& description) {
  ClassKinds kinds;
  for (std::size_t i = 0; i < description.classes.size(); ++i)
    kinds.List(description.classes[i], ListPlace("classes", i));

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
    const std::string place = ListPlace("dinos", i);
    kinds.Use(d.class_name, ClassKind::kDino, place + ".class");
    if (d.id1 && d.id2 && !dino_ids.insert((uint64_t{*d.id1} << 32) | *d.id2).second) {
      Fail(place,
           "duplicate dino id pair " + std::to_string(*d.id1) + ":" + std::to_string(*d.id2));
    }
  }
  for (std::size_t i = 0; i < description.structures.size(); ++i) {
    const StructureDescription& s = description.structures[i];
    const std::string place = ListPlace("structures", i);
    kinds.Use(s.class_name, ClassKind::kStructure, place + ".class");
    if (s.consumes_item) kinds.Use(*s.consumes_item, ClassKind::kItem, place + ".consumes_item");
    if (s.pickup_item) kinds.Use(*s.pickup_item, ClassKind::kItem, place + ".pickup_item");
  }
  for (std::size_t i = 0; i < description.actors.size(); ++i) {
    const ActorDescription& a = description.actors[i];
    const std::string place = ListPlace("actors", i);
    ClassKind kind = ClassKind::kActor;
    if (a.kind) {
      kind = *a.kind;
    } else if (auto listed = kinds.KindOf(a.class_name); listed == ClassKind::kPawn) {
      kind = ClassKind::kPawn;
    }
    kinds.Use(a.class_name, kind, place + ".class");
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
