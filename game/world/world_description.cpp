#include "game/world/world_description.h"

#include <map>
#include <set>
#include <unordered_set>

#include "game/world/native_classes.h"

namespace game {
namespace {

[[noreturn]] void Fail(const std::string& place, const std::string& message) {
  throw WorldFileError(place, message);
}

// Tracks the kind each class name is made with, in file order.
class ClassKinds {
 public:
  void List(const ClassDescription& c, const std::string& place) {
    if (c.name.empty()) Fail(place + ".name", "a class needs a non-empty name");
    if (FindNativeClass(c.name))
      Fail(place + ".name", "\"" + c.name + "\" is a class of the game itself");
    if (!kinds_.emplace(c.name, c.kind).second)
      Fail(place + ".name", "duplicate class \"" + c.name + "\"");
    if (c.path && c.path->empty()) Fail(place + ".path", "a class path cannot be empty");
  }
  void Use(const std::string& name, ClassKind kind, const std::string& place) {
    if (name.empty()) Fail(place, "the class name is empty");
    if (const NativeClassInfo* native = FindNativeClass(name)) {
      if (native->made_as != kind)
        Fail(place,
             "class \"" + name + "\" of the game cannot be made as kind " + ClassKindName(kind));
      return;
    }
    auto [it, added] = kinds_.emplace(name, kind);
    if (!added && it->second != kind) {
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
  std::map<std::string, ClassKind> kinds_;
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
    if (!tribe_ids.insert(description.tribes[i].id).second)
      Fail(ListPlace("tribes", i) + ".id",
           "duplicate tribe id " + std::to_string(description.tribes[i].id));
  }

  std::unordered_set<std::string> eos_ids;
  for (std::size_t i = 0; i < description.players.size(); ++i) {
    const PlayerDescription& p = description.players[i];
    const std::string place = ListPlace("players", i);
    if (!p.eos_id.empty() && !eos_ids.insert(p.eos_id).second)
      Fail(place + ".eos_id", "duplicate EOS id \"" + p.eos_id + "\"");
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
