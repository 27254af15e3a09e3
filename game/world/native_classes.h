// The game's own class tree: the classes every world has before its description adds any. The
// builder makes them; the description checks refuse a world file that redefines one or makes
// one with another kind. Pure data, any thread.
#pragma once

#include <optional>
#include <string_view>

#include "game/world/class_kind.h"

namespace game {

// The game's own classes, by their role.
enum class Native {
  kObject,
  kClass,
  kScriptStruct,
  kActor,
  kPawn,
  kCharacter,
  kPrimalCharacter,
  kShooterCharacter,
  kPlayerPawn,
  kDino,
  kTargetable,
  kStructure,
  kController,
  kPlayerController,
  kShooterPlayerController,
  kInfo,
  kPlayerState,
  kShooterPlayerState,
  kGameModeBase,
  kShooterGameMode,
  kGameStateBase,
  kShooterGameState,
  kWorldSettings,
  kPrimalWorldSettings,
  kWorld,
  kLevel,
  kActorComponent,
  kSceneComponent,
  kStatusComponent,
  kCheatManager,
  kShooterCheatManager,
  kPlayerData,
  kItem,
  kCount,
};

struct NativeClassInfo {
  Native id;
  const char* name;
  Native super;        // kCount: none
  const char* module;  // null: a blueprint class, with a default class path
  // The kind a world file may make instances of this class with; empty: none.
  std::optional<ClassKind> made_as;
};

// In order of Native, every class after its super class. Native classes' default objects are
// named by their class path, without a "Default__" part.
inline constexpr NativeClassInfo kNativeClasses[] = {
    {Native::kObject, "Object", Native::kCount, "/Script/CoreUObject", {}},
    {Native::kClass, "Class", Native::kObject, "/Script/CoreUObject", {}},
    {Native::kScriptStruct, "ScriptStruct", Native::kObject, "/Script/CoreUObject", {}},
    {Native::kActor, "Actor", Native::kObject, "/Script/Engine", ClassKind::kActor},
    {Native::kPawn, "Pawn", Native::kActor, "/Script/Engine", ClassKind::kPawn},
    {Native::kCharacter, "Character", Native::kPawn, "/Script/Engine", {}},
    {Native::kPrimalCharacter, "PrimalCharacter", Native::kCharacter, "/Script/Game", {}},
    {Native::kShooterCharacter, "ShooterCharacter", Native::kPrimalCharacter, "/Script/Game", {}},
    {Native::kPlayerPawn, "PlayerPawn_C", Native::kShooterCharacter, nullptr, {}},
    {Native::kDino, "PrimalDinoCharacter", Native::kPrimalCharacter, "/Script/Game",
     ClassKind::kDino},
    {Native::kTargetable, "PrimalTargetableActor", Native::kActor, "/Script/Game", {}},
    {Native::kStructure, "PrimalStructure", Native::kTargetable, "/Script/Game",
     ClassKind::kStructure},
    {Native::kController, "Controller", Native::kActor, "/Script/Engine", {}},
    {Native::kPlayerController, "PlayerController", Native::kController, "/Script/Engine", {}},
    {Native::kShooterPlayerController,
     "ShooterPlayerController",
     Native::kPlayerController,
     "/Script/Game",
     {}},
    {Native::kInfo, "Info", Native::kActor, "/Script/Engine", {}},
    {Native::kPlayerState, "PlayerState", Native::kInfo, "/Script/Engine", {}},
    {Native::kShooterPlayerState, "ShooterPlayerState", Native::kPlayerState, "/Script/Game", {}},
    {Native::kGameModeBase, "GameModeBase", Native::kInfo, "/Script/Engine", {}},
    {Native::kShooterGameMode, "ShooterGameMode", Native::kGameModeBase, "/Script/Game", {}},
    {Native::kGameStateBase, "GameStateBase", Native::kInfo, "/Script/Engine", {}},
    {Native::kShooterGameState, "ShooterGameState", Native::kGameStateBase, "/Script/Game", {}},
    {Native::kWorldSettings, "WorldSettings", Native::kInfo, "/Script/Engine", {}},
    {Native::kPrimalWorldSettings,
     "PrimalWorldSettings",
     Native::kWorldSettings,
     "/Script/Game",
     {}},
    {Native::kWorld, "World", Native::kObject, "/Script/Engine", {}},
    {Native::kLevel, "Level", Native::kObject, "/Script/Engine", {}},
    {Native::kActorComponent, "ActorComponent", Native::kObject, "/Script/Engine", {}},
    {Native::kSceneComponent, "SceneComponent", Native::kActorComponent, "/Script/Engine", {}},
    {Native::kStatusComponent,
     "PrimalCharacterStatusComponent",
     Native::kActorComponent,
     "/Script/Game",
     {}},
    {Native::kCheatManager, "CheatManager", Native::kObject, "/Script/Engine", {}},
    {Native::kShooterCheatManager,
     "ShooterCheatManager",
     Native::kCheatManager,
     "/Script/Game",
     {}},
    {Native::kPlayerData, "PrimalPlayerData", Native::kObject, "/Script/Game", {}},
    {Native::kItem, "PrimalItem", Native::kObject, "/Script/Game", ClassKind::kItem},
};
static_assert(std::size(kNativeClasses) == static_cast<std::size_t>(Native::kCount));

// The native class of that name, or null.
inline const NativeClassInfo* FindNativeClass(std::string_view name) {
  for (const NativeClassInfo& info : kNativeClasses)
    if (name == info.name) return &info;
  return nullptr;
}

}  // namespace game
