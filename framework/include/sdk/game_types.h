// The game's object types as the SDK sees them: empty classes that only carry the class
// hierarchy. Their fields and functions are reached by symbolic name (address.h), never
// through these declarations; the game behind them has its own layout.
#pragma once

#include <cstdint>

#include "sdk/fstring.h"

// Objects.
struct UObjectBase {};
struct UObjectBaseUtility : UObjectBase {};
struct UObject : UObjectBaseUtility {};
struct UField : UObject {};
struct UStruct : UField {};
struct UClass : UStruct {};
struct UScriptStruct : UStruct {};
struct UWorld : UObject {};
struct ULevel : UObject {};
struct UActorComponent : UObject {};
struct USceneComponent : UActorComponent {};
struct UPrimalCharacterStatusComponent : UActorComponent {};
struct UCheatManager : UObject {};
struct UShooterCheatManager : UCheatManager {};
struct UPrimalPlayerData : UObject {};
struct UPrimalItem : UObject {};
struct UTexture2D : UObject {};
struct USoundBase : UObject {};

// Actors.
struct AActor : UObject {};
struct APawn : AActor {};
struct ACharacter : APawn {};
struct APrimalCharacter : ACharacter {};
struct AShooterCharacter : APrimalCharacter {};
struct APrimalDinoCharacter : APrimalCharacter {};
struct APrimalTargetableActor : AActor {};
struct APrimalStructure : APrimalTargetableActor {};
struct AController : AActor {};
struct APlayerController : AController {};
struct AShooterPlayerController : APlayerController {};
struct AInfo : AActor {};
struct APlayerState : AInfo {};
struct AShooterPlayerState : APlayerState {};
struct AGameModeBase : AInfo {};
struct AShooterGameMode : AGameModeBase {};
struct AGameStateBase : AInfo {};
struct AShooterGameState : AGameStateBase {};
struct AWorldSettings : AInfo {};
struct APrimalWorldSettings : AWorldSettings {};

// Holders of static functions only.
struct UGameplayStatics {};
struct UKismetSystemLibrary {};
struct UVictoryCore {};

// Records the game reads and writes by value; their layout is shared.
namespace UE::Math {
template <class T>
struct TVector {
  T X = 0, Y = 0, Z = 0;
};
template <class T>
struct TRotator {
  T Pitch = 0, Yaw = 0, Roll = 0;
};
template <class T>
struct TQuat {
  T X = 0, Y = 0, Z = 0, W = 1;
};
template <class T>
struct TTransform {
  TQuat<T> Rotation;
  TVector<T> Translation;
  TVector<T> Scale3D{1, 1, 1};
};
}  // namespace UE::Math
using FVector = UE::Math::TVector<double>;
using FRotator = UE::Math::TRotator<double>;
using FTransform = UE::Math::TTransform<double>;

struct FLinearColor {
  float R = 0, G = 0, B = 0, A = 0;
};

// A game name: an index into the game's name table.
struct FName {
  int32_t ComparisonIndex = 0;
  int32_t Number = 0;
};
enum EFindName { FNAME_Find = 0, FNAME_Add = 1 };

// A weak reference: resolves through "FWeakObjectPtr.Get()" to the object or null.
struct FWeakObjectPtr {
  int32_t ObjectIndex = 0;
  int32_t ObjectSerialNumber = 0;
};
template <class T>
struct TWeakObjectPtr : FWeakObjectPtr {};

template <class T>
struct TSubclassOf {
  UClass* Class = nullptr;
};
template <class E>
struct TEnumAsByte {
  uint8_t Value = 0;
};
enum EObjectTypeQuery : uint8_t { ObjectTypeQuery1 = 0 };
namespace EXPType {
enum Type : uint8_t { XP_GENERIC = 0 };
}

// A chat line as the game delivers it to a player.
struct FPrimalChatMessage {
  FString SenderName;
  FString SenderSteamName;
  FString SenderTribeName;
  uint32_t SenderId = 0;
  FString Message;
  FString Receiver;
  int32_t SenderTeamIndex = 0;
  double ReceivedTime = 0;
  uint8_t SendMode = 0;
  uint32_t RadioFrequency = 0;
  uint8_t ChatType = 0;
  UTexture2D* SenderIcon = nullptr;
  uint8_t bFromServer = 0;  // set for lines the server sends, not a player
  FString UserId;           // the receiving player's EOS id
};

// Opaque records sized at run time by the game (see "UStruct.PropertiesSize").
struct FTribeData;
struct FPrimalPlayerDataStruct;

// The host's RCON request and the connection it came on.
struct RCONPacket {
  int32_t Length = 0;
  int32_t Id = 0;
  int32_t Type = 0;
  FString Body;
};
struct RCONClientConnection;
