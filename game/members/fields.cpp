// Every field name with its offset. Offsets are taken with offsetof on the layouts of
// objects/objects.h; the object types are polymorphic single-inheritance chains, for which both
// compilers we build with define offsetof, so its warning is silenced in this file only. Each
// registration also checks that the field has the size the SDK declares.
#include <cstddef>

#include "framework/host/address_table.h"
#include "game/members/members.h"
#include "game/objects/objects.h"
#include "sdk/game_members.h"

#pragma GCC diagnostic ignored "-Winvalid-offsetof"

#define GAME_FIELD(member, type, field)                                            \
  do {                                                                             \
    static_assert(sizeof(decltype(member)::Type) == sizeof(type::field), #member); \
    framework::Register(member, offsetof(type, field));                            \
  } while (false)

namespace game::members {

void RegisterFields() {
  namespace s = sym;
  GAME_FIELD(s::UObjectBase::ClassPrivate, ObjectBase, class_private);
  GAME_FIELD(s::UObjectBase::NamePrivate, ObjectBase, name_private);
  GAME_FIELD(s::UStruct::PropertiesSize, StructObject, properties_size);

  GAME_FIELD(s::UWorld::PersistentLevel, WorldObject, persistent_level);
  GAME_FIELD(s::UWorld::GameState, WorldObject, game_state);
  GAME_FIELD(s::UWorld::PlayerControllerList, WorldObject, player_controller_list);
  GAME_FIELD(s::ULevel::Actors, Level, actors);
  GAME_FIELD(s::APrimalWorldSettings::LongitudeScale, WorldSettings, longitude_scale);
  GAME_FIELD(s::APrimalWorldSettings::LatitudeScale, WorldSettings, latitude_scale);
  GAME_FIELD(s::APrimalWorldSettings::LongitudeOrigin, WorldSettings, longitude_origin);
  GAME_FIELD(s::APrimalWorldSettings::LatitudeOrigin, WorldSettings, latitude_origin);

  GAME_FIELD(s::AGameModeBase::GameState, GameMode, game_state);
  GAME_FIELD(s::AShooterGameMode::SaveDirectoryName, GameMode, save_directory_name);
  GAME_FIELD(s::AShooterGameMode::PlayerDatas, GameMode, player_datas);
  GAME_FIELD(s::AShooterGameState::NumPlayerConnected, GameState, num_player_connected);
  GAME_FIELD(s::AShooterGameState::ServerFramerate, GameState, server_framerate);

  GAME_FIELD(s::UPrimalActor::TargetingTeam, ActorBase, targeting_team);
  GAME_FIELD(s::AActor::RootComponent, ActorBase, root_component);
  GAME_FIELD(s::USceneComponent::RelativeLocation, SceneComponent, relative_location);
  GAME_FIELD(s::USceneComponent::ComponentToWorld, SceneComponent, component_to_world);
  GAME_FIELD(s::APrimalCharacter::DescriptiveName, ActorBase, descriptive_name);
  GAME_FIELD(s::APrimalTargetableActor::DescriptiveName, ActorBase, descriptive_name);
  GAME_FIELD(s::APrimalCharacter::MyCharacterStatusComponent, CharacterBase, status_component);
  GAME_FIELD(s::UPrimalCharacterStatusComponent::MaxStatusValues, StatusComponent,
             max_status_values);
  GAME_FIELD(s::UPrimalCharacterStatusComponent::CurrentStatusValues, StatusComponent,
             current_status_values);

  GAME_FIELD(s::APrimalDinoCharacter::TamerString, Dino, tamer_string);
  GAME_FIELD(s::APrimalDinoCharacter::TamingTeamID, Dino, taming_team_id);
  GAME_FIELD(s::APrimalDinoCharacter::DinoID1, Dino, dino_id1);
  GAME_FIELD(s::APrimalDinoCharacter::DinoID2, Dino, dino_id2);
  GAME_FIELD(s::APrimalDinoCharacter::AbsoluteBaseLevel, Dino, absolute_base_level);
  GAME_FIELD(s::APrimalStructure::ConsumesPrimalItem, Structure, consumes_primal_item);
  GAME_FIELD(s::APrimalStructure::OwnerName, Structure, owner_name);
  GAME_FIELD(s::APrimalStructure::PickupGivesItem, Structure, pickup_gives_item);

  GAME_FIELD(s::AShooterCharacter::PlayerName, PlayerCharacter, player_name);
  // Every pawn has it, so a test of this field on a dino or other pawn reads 0.
  GAME_FIELD(s::AShooterCharacter::LinkedPlayerDataID, PawnBase, linked_player_data_id);
  GAME_FIELD(s::AController::PlayerState, Controller, player_state);
  GAME_FIELD(s::AController::Pawn, Controller, pawn);
  GAME_FIELD(s::APlayerController::CheatManager, Controller, cheat_manager);
  GAME_FIELD(s::AShooterPlayerController::CurrentPlayerCharacterLocation, Controller,
             current_player_character_location);
  GAME_FIELD(s::AShooterPlayerController::LinkedPlayerID, Controller, linked_player_id);
  GAME_FIELD(s::AShooterPlayerState::MyPlayerData, PlayerState, my_player_data);

  // Embedded records: the field's address is the record, sized at run time.
  framework::Register(s::AShooterPlayerState::MyTribeData, offsetof(PlayerState, my_tribe_data));
  framework::Register(s::UPrimalPlayerData::MyData, offsetof(PlayerData, my_data));
  GAME_FIELD(s::FTribeData::TribeName, TribeRecord, tribe_name);
  GAME_FIELD(s::FTribeData::TribeID, TribeRecord, tribe_id);
  GAME_FIELD(s::FTribeData::TribeLog, TribeRecord, tribe_log);
  GAME_FIELD(s::FPrimalPlayerDataStruct::TribeID, PlayerDataRecord, tribe_id);
}

}  // namespace game::members
