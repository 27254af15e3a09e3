#include "queries/player_details.h"

#include "host/game_access.h"

namespace orvane {

using host::Call;
using host::Field;

namespace {

// The text that a controller's string-returning game function fills.
template <class Member>
FString TextOf(Member member, AShooterPlayerController* controller) {
  FString text;
  Call(member, controller, &text);
  return text;
}

}  // namespace

AShooterPlayerState* PlayerStateOf(AShooterPlayerController* controller) {
  return static_cast<AShooterPlayerState*>(Field(controller, sym::AController::PlayerState));
}

AShooterCharacter* CharacterOf(AShooterPlayerController* controller) {
  return Call(sym::AShooterPlayerController::GetPlayerCharacter, controller);
}

UShooterCheatManager* CheatManagerOf(AShooterPlayerController* controller) {
  // A player controller's cheat manager is always the game's own kind.
  return static_cast<UShooterCheatManager*>(
      Field(controller, sym::APlayerController::CheatManager));
}

FString CharacterNameOf(AShooterPlayerController* controller) {
  return TextOf(sym::AShooterPlayerController::GetPlayerCharacterName, controller);
}

FString PlayerStateNameOf(AShooterPlayerController* controller) {
  FString name;
  if (AShooterPlayerState* state = PlayerStateOf(controller))
    Call(sym::AShooterPlayerState::GetPlayerName, state, &name);
  return name;
}

FString PlayerDataNameOf(AShooterPlayerController* controller) {
  AShooterPlayerState* state = PlayerStateOf(controller);
  if (state == nullptr) return FString();
  UPrimalPlayerData* data = Field(state, sym::AShooterPlayerState::MyPlayerData);
  if (data == nullptr) return FString();
  return host::NameText(Field(data, sym::UObjectBase::NamePrivate));
}

FString TribeNameOf(AShooterPlayerController* controller) {
  AShooterPlayerState* state = PlayerStateOf(controller);
  if (state == nullptr) return FString();
  FTribeData* tribe = &Field(state, sym::AShooterPlayerState::MyTribeData);
  return Field(tribe, sym::FTribeData::TribeName);
}

FString UniqueNetIdOf(AShooterPlayerController* controller) {
  return TextOf(sym::AShooterPlayerController::GetUniqueNetIdAsString, controller);
}

FString LinkedPlayerIdTextOf(AShooterPlayerController* controller) {
  return TextOf(sym::AShooterPlayerController::LinkedPlayerIDString, controller);
}

}  // namespace orvane
