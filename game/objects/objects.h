// The game's objects as the stand-in lays them out. The plugin sees only SDK pointers (empty
// classes) to these and reaches their fields by name: a field resolves to the object's address
// plus one offset per name, so every kind of object that has a field holds it at the same
// place. That is why the layouts form one chain of bases (ObjectBase, ActorBase, LocatedActor,
// PawnBase, CharacterBase, ...): a field declared in a base sits at the same offset in every
// kind derived from it. String and array fields are the SDK's own FString and TArray, so their
// storage is host memory that the plugin may copy and free.
// Objects are owned by their World; the plugin's pointer is the object's own address.
// Thread: the game thread.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "game/world/world_description.h"
#include "sdk/fstring.h"
#include "sdk/game_types.h"
#include "sdk/tarray.h"

namespace game {

struct ClassObject;
struct Player;

// World-file positions and the game's vectors.
inline FVector ToVector(const Position& p) { return FVector{p[0], p[1], p[2]}; }
inline Position ToPosition(const FVector& v) { return {v.X, v.Y, v.Z}; }

enum class ObjectKind : uint8_t {
  kClass,
  kScriptStruct,
  kDefaultObject,
  kWorld,
  kLevel,
  kRootComponent,
  kStatusComponent,
  kCheatManager,
  kPlayerData,
  kItem,
  kController,
  kCharacter,
  kDino,
  kStructure,
  kActor,
  kPawn,
  kPlayerState,
  kGameMode,
  kGameState,
  kWorldSettings,
};

struct ObjectBase {
  explicit ObjectBase(ObjectKind k) : kind(k) {}
  virtual ~ObjectBase() = default;
  ObjectBase(const ObjectBase&) = delete;
  ObjectBase& operator=(const ObjectBase&) = delete;

  ClassObject* class_private = nullptr;  // "UObjectBase.ClassPrivate"
  FName name_private;                    // "UObjectBase.NamePrivate"
  // Its slot in the world's object table (weak references) and destroyed marks.
  int32_t object_index = -1;
  ObjectKind kind;
};

// Structures describing records and classes ("UStruct").
struct StructObject : ObjectBase {
  using ObjectBase::ObjectBase;
  StructObject* super_struct = nullptr;
  int32_t properties_size = 0;  // "UStruct.PropertiesSize"
};

// A class: its name is the object name; its default object carries the class's path.
struct ClassObject : StructObject {
  ClassObject() : StructObject(ObjectKind::kClass) {}
  ObjectBase* default_object = nullptr;
  std::u16string path;               // full path name of the default object
  std::optional<ClassKind> made_as;  // the world-file kind, when entities may have this class
  bool IsChildOf(const StructObject* other) const {
    for (const StructObject* c = this; c != nullptr; c = c->super_struct)
      if (c == other) return true;
    return false;
  }
};

struct ScriptStructObject : StructObject {
  ScriptStructObject() : StructObject(ObjectKind::kScriptStruct) {}
};

struct DefaultObject : ObjectBase {
  DefaultObject() : ObjectBase(ObjectKind::kDefaultObject) {}
};

// A component that places its owner: as a root it has no parent, so its relative location and
// the translation of its world transform are one and the same and always move together.
struct SceneComponent : ObjectBase {
  SceneComponent() : ObjectBase(ObjectKind::kRootComponent) {}
  FVector relative_location;      // "USceneComponent.RelativeLocation"
  FTransform component_to_world;  // "USceneComponent.ComponentToWorld"
  ObjectBase* owner = nullptr;

  void SetLocation(const FVector& at) {
    relative_location = at;
    component_to_world.Translation = at;
  }
};

constexpr int kStatusCount = 12;
constexpr int kFoodStatus = 4;

struct StatusComponent : ObjectBase {
  StatusComponent() : ObjectBase(ObjectKind::kStatusComponent) {}
  float max_status_values[kStatusCount] = {};  // "UPrimalCharacterStatusComponent.MaxStatusValues"
  float current_status_values[kStatusCount] = {};  // "...CurrentStatusValues"
  ObjectBase* owner = nullptr;
};

// Every actor, controllers and info actors included.
struct ActorBase : ObjectBase {
  using ObjectBase::ObjectBase;
  int32_t targeting_team = 0;                // "UPrimalActor.TargetingTeam"
  SceneComponent* root_component = nullptr;  // "AActor.RootComponent"
  // "APrimalCharacter.DescriptiveName" and "APrimalTargetableActor.DescriptiveName" share it.
  FString descriptive_name;
  // Its ids in "ULevel.Actors" (World::level_ids_) and in the world's list of its kind
  // (KindList), -1 when it never joined them. They stay when it leaves: the world's tables tell
  // where each entry stands now and whether it is gone, so leaving writes nothing here.
  int32_t level_id = -1;
  int32_t kind_id = -1;
  int32_t source_index = -1;  // index in its world-file list, or the spawn number
  bool spawned = false;
  Player* player = nullptr;  // the player a controller, character or player state belongs to
};

// An actor placed in the world by its own root component. The world makes the component with
// the actor (World::MakeOf) but keeps it apart, in a pool of components: a walk over the level
// reads the actors' first fields, and actors without their components lie closer together.
struct LocatedActor : ActorBase {
  using ActorBase::ActorBase;
  SceneComponent& root() const { return *root_component; }
};

struct PawnBase : LocatedActor {
  using LocatedActor::LocatedActor;
  // "AShooterCharacter.LinkedPlayerDataID": 0 on pawns that are no player's character.
  uint64_t linked_player_data_id = 0;
};

struct GenericPawn : PawnBase {
  GenericPawn() : PawnBase(ObjectKind::kPawn) {}
};

struct GenericActor : LocatedActor {
  GenericActor() : LocatedActor(ObjectKind::kActor) {}
};

// Its status component is made and kept as a located actor's root component is.
struct CharacterBase : PawnBase {
  using PawnBase::PawnBase;
  StatusComponent* status_component = nullptr;  // "APrimalCharacter.MyCharacterStatusComponent"
  bool dead = false;
  StatusComponent& status() const { return *status_component; }
};

struct PlayerCharacter : CharacterBase {
  PlayerCharacter() : CharacterBase(ObjectKind::kCharacter) {}
  FString player_name;  // "AShooterCharacter.PlayerName"
};

// What game functions recorded on a dino, kept apart since few dinos have any.
struct DinoFacts {
  double experience = 0.0;
  std::vector<std::pair<int32_t, int32_t>> colours;  // region, colour; by region
  float imprint_quality = 0.0F;
  std::optional<Imprinter> imprinter;
};

struct Dino : CharacterBase {
  Dino() : CharacterBase(ObjectKind::kDino) {}
  FString tamer_string;             // "APrimalDinoCharacter.TamerString"
  int32_t taming_team_id = 0;       // "APrimalDinoCharacter.TamingTeamID"
  uint32_t dino_id1 = 0;            // "APrimalDinoCharacter.DinoID1"
  uint32_t dino_id2 = 0;            // "APrimalDinoCharacter.DinoID2"
  int32_t absolute_base_level = 1;  // "APrimalDinoCharacter.AbsoluteBaseLevel"
  bool neutered = false;
  bool playing = true;
  std::unique_ptr<DinoFacts> facts;
  DinoFacts& Facts() {
    if (!facts) facts = std::make_unique<DinoFacts>();
    return *facts;
  }
};

struct Structure : LocatedActor {
  Structure() : LocatedActor(ObjectKind::kStructure) {}
  ClassObject* consumes_primal_item = nullptr;  // "APrimalStructure.ConsumesPrimalItem"
  FString owner_name;                           // "APrimalStructure.OwnerName"
  ClassObject* pickup_gives_item = nullptr;     // "APrimalStructure.PickupGivesItem"
};

struct PlayerState;
struct CheatManager;

struct Controller : ActorBase {
  Controller() : ActorBase(ObjectKind::kController) {}
  PlayerState* player_state = nullptr;        // "AController.PlayerState"
  PawnBase* pawn = nullptr;                   // "AController.Pawn"
  CheatManager* cheat_manager = nullptr;      // "APlayerController.CheatManager"
  FVector current_player_character_location;  // "AShooterPlayerController.Current..."
  uint64_t linked_player_id = 0;              // "AShooterPlayerController.LinkedPlayerID"
};

// The game's tribe record ("FTribeData"): a plain record that the plugin also allocates itself,
// zeroed, with the size the script struct reports.
struct TribeRecord {
  FString tribe_name;    // "FTribeData.TribeName"
  int32_t tribe_id = 0;  // "FTribeData.TribeID"
  uint32_t owner_player_data_id = 0;
  TArray<FString> tribe_log;  // "FTribeData.TribeLog"
  int32_t log_index = 0;
};

// The player's saved record ("FPrimalPlayerDataStruct").
struct PlayerDataRecord {
  uint64_t player_data_id = 0;
  FString player_name;
  int32_t tribe_id = 0;  // "FPrimalPlayerDataStruct.TribeID"
};

struct PlayerData : ObjectBase {
  PlayerData() : ObjectBase(ObjectKind::kPlayerData) {}
  PlayerDataRecord my_data;  // "UPrimalPlayerData.MyData"
};

struct PlayerState : ActorBase {
  PlayerState() : ActorBase(ObjectKind::kPlayerState) {}
  PlayerData* my_player_data = nullptr;  // "AShooterPlayerState.MyPlayerData"
  TribeRecord my_tribe_data;             // "AShooterPlayerState.MyTribeData"
};

struct CheatManager : ObjectBase {
  CheatManager() : ObjectBase(ObjectKind::kCheatManager) {}
  Player* player = nullptr;  // null for the server's own
};

struct ItemObject : ObjectBase {
  ItemObject() : ObjectBase(ObjectKind::kItem) {}
};

struct GameState : ActorBase {
  GameState() : ActorBase(ObjectKind::kGameState) {}
  int32_t num_player_connected = 0;  // "AShooterGameState.NumPlayerConnected"
  float server_framerate = 0.0F;     // "AShooterGameState.ServerFramerate"
  FString day_time;
};

struct WorldSettings : ActorBase {
  WorldSettings() : ActorBase(ObjectKind::kWorldSettings) {}
  float longitude_scale = 0.0F;   // "APrimalWorldSettings.LongitudeScale"
  float latitude_scale = 0.0F;    // "APrimalWorldSettings.LatitudeScale"
  float longitude_origin = 0.0F;  // "APrimalWorldSettings.LongitudeOrigin"
  float latitude_origin = 0.0F;   // "APrimalWorldSettings.LatitudeOrigin"
};

struct GameMode : ActorBase {
  GameMode() : ActorBase(ObjectKind::kGameMode) {}
  GameState* game_state = nullptr;          // "AGameModeBase.GameState"
  FString save_directory_name;              // "AShooterGameMode.SaveDirectoryName"
  TArray<UPrimalPlayerData*> player_datas;  // "AShooterGameMode.PlayerDatas"
};

struct Level : ObjectBase {
  Level() : ObjectBase(ObjectKind::kLevel) {}
  TArray<AActor*> actors;  // "ULevel.Actors"
};

struct WorldObject : ObjectBase {
  WorldObject() : ObjectBase(ObjectKind::kWorld) {}
  Level* persistent_level = nullptr;  // "UWorld.PersistentLevel"
  GameState* game_state = nullptr;    // "UWorld.GameState"
  // "UWorld.PlayerControllerList"
  TArray<TWeakObjectPtr<AShooterPlayerController>> player_controller_list;
};

// The bookkeeping of one player of the world file: identity, what game functions recorded, and
// the objects that make the player up (any of them may be missing or destroyed).
struct Player {
  int32_t index = 0;
  std::u16string eos_id;
  // Names and facts kept current; positions and flags are read from the objects.
  PlayerDescription description;
  Controller* controller = nullptr;
  PlayerCharacter* character = nullptr;
  PlayerState* state = nullptr;
  CheatManager* cheat_manager = nullptr;
  PlayerData* data = nullptr;
};

// Conversions at the boundary: the plugin's pointer is the object's own address.
inline ObjectBase* FromSdk(const void* pointer) {
  return static_cast<ObjectBase*>(const_cast<void*>(pointer));
}
template <class T>
T* ToSdk(ObjectBase* object) {
  return reinterpret_cast<T*>(object);
}
// The object behind an SDK pointer as the stand-in type T; null when it is of another kind.
template <class T>
T* As(const void* pointer) {
  return pointer == nullptr ? nullptr : dynamic_cast<T*>(FromSdk(pointer));
}

}  // namespace game
