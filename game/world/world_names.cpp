// How the live world names its objects: full path names as the game reports them, journal
// references, dino species.
#include "game/util/text.h"
#include "game/world/world.h"

namespace game {

std::u16string World::SpeciesOf(const Dino& dino) const {
  const std::u16string name = names_.ToString(dino.class_private->name_private);
  constexpr std::u16string_view kLong = u"_Character_BP_C";
  if (name.size() >= kLong.size() && name.substr(name.size() - kLong.size()) == kLong)
    return name.substr(0, name.size() - kLong.size());
  return StripSuffix(name, u"_C");
}

std::string World::RefOf(const ObjectBase* object) const {
  if (object == nullptr) return "null";
  auto eos_of = [](const Player* player) {
    return player ? player->description.eos_id : std::string("?");
  };
  switch (object->kind) {
    case ObjectKind::kController:
      return "controller:" + eos_of(static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kCharacter:
      return "character:" + eos_of(static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kPlayerState:
      return "playerstate:" + eos_of(static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kCheatManager: {
      const Player* player = static_cast<const CheatManager*>(object)->player;
      return player ? "cheatmanager:" + player->description.eos_id : "cheatmanager:server";
    }
    case ObjectKind::kDino: {
      const auto* dino = static_cast<const Dino*>(object);
      if (dino->spawned) return "spawned:" + std::to_string(dino->source_index);
      return "dino:" + std::to_string(dino->dino_id1) + ":" + std::to_string(dino->dino_id2);
    }
    case ObjectKind::kStructure:
    case ObjectKind::kActor:
    case ObjectKind::kPawn: {
      const auto* actor = static_cast<const ActorBase*>(object);
      if (actor->spawned) return "spawned:" + std::to_string(actor->source_index);
      return (object->kind == ObjectKind::kStructure ? "structure:" : "actor:") +
             std::to_string(actor->source_index);
    }
    case ObjectKind::kRootComponent:
      return "root:" + RefOf(static_cast<const SceneComponent*>(object)->owner);
    case ObjectKind::kStatusComponent:
      return "status:" + RefOf(static_cast<const StatusComponent*>(object)->owner);
    case ObjectKind::kGameMode:
      return "gamemode";
    case ObjectKind::kWorld:
      return "world";
    default:
      return "object:" + std::to_string(object->object_index);
  }
}

std::u16string World::LevelPath() const {
  return u"/Game/Maps/" + map_name_ + u"." + map_name_ + u":PersistentLevel";
}

std::u16string World::PathNameOf(const ObjectBase* object) const {
  const std::u16string name = names_.ToString(object->name_private);
  switch (object->kind) {
    case ObjectKind::kDefaultObject:
      return object->class_private->path;
    case ObjectKind::kClass: {
      std::u16string path = static_cast<const ClassObject*>(object)->path;
      if (auto at = path.find(u"Default__"); at != std::u16string::npos) path.erase(at, 9);
      return path;
    }
    case ObjectKind::kScriptStruct:
      return u"/Script/Game." + name;
    case ObjectKind::kWorld:
      return u"/Game/Maps/" + map_name_ + u"." + map_name_;
    case ObjectKind::kLevel:
      return LevelPath();
    case ObjectKind::kRootComponent:
      return PathNameOf(static_cast<const SceneComponent*>(object)->owner) + u"." + name;
    case ObjectKind::kStatusComponent:
      return PathNameOf(static_cast<const StatusComponent*>(object)->owner) + u"." + name;
    case ObjectKind::kCheatManager:
    case ObjectKind::kPlayerData:
    case ObjectKind::kItem:
      return u"/Engine/Transient." + name;
    default:
      return LevelPath() + u"." + name;
  }
}

}  // namespace game
