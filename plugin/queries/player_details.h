// What commands read of one player, starting from the player's controller: the player state,
// the character, the names and the tribe. Each gives an empty text (or null) where the player
// lacks the object it reads from. Thread: the game thread.
#pragma once

#include <sdk/game_types.h>

namespace orvane {

// "AController.PlayerState", or null.
AShooterPlayerState* PlayerStateOf(AShooterPlayerController* controller);
// The player's character, alive or dead, or null.
AShooterCharacter* CharacterOf(AShooterPlayerController* controller);
// The player's own cheat manager ("APlayerController.CheatManager"), or null.
UShooterCheatManager* CheatManagerOf(AShooterPlayerController* controller);

// The character's name ("GetPlayerCharacterName()").
FString CharacterNameOf(AShooterPlayerController* controller);
// The player state's name ("AShooterPlayerState.GetPlayerName()").
FString PlayerStateNameOf(AShooterPlayerController* controller);
// The name of the player state's player data object.
FString PlayerDataNameOf(AShooterPlayerController* controller);
// The tribe name in the player state's tribe record.
FString TribeNameOf(AShooterPlayerController* controller);
// The controller's unique net id ("GetUniqueNetIdAsString()").
FString UniqueNetIdOf(AShooterPlayerController* controller);
// The linked player id in decimal ("LinkedPlayerIDString()").
FString LinkedPlayerIdTextOf(AShooterPlayerController* controller);

}  // namespace orvane
