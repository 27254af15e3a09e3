// Every game member reached by symbolic name, with the exact C++ type behind the name.
// This is the one place that fixes those signatures: the plugin calls through them and the
// game registers its members against them, so the two sides cannot disagree. Functions take
// the object first (none when static); a string or record result is written to a
// caller-provided buffer passed right after the object, and that pointer is returned.
// Long names are kept whole on one line, past the column limit, so that a search for a full
// name finds its declaration.
#pragma once

#include <cstdint>

#include "sdk/address.h"
#include "sdk/game_types.h"

// ---------------------------------------------------------------------------------------------
// Memory, names, strings and weak references.

namespace sym::FMemory {
// The game's allocator; every FString and TArray block comes from it. Alignment 0 is the
// game's default.
inline constexpr Function<void*(uint64_t, uint32_t)> Malloc{
    "FMemory.Malloc(unsigned__int64,unsignedint)"};
inline constexpr Function<void*(void*, uint64_t, uint32_t)> Realloc{
    "FMemory.Realloc(void*,unsigned__int64,unsignedint)"};
inline constexpr Function<void(void*)> Free{"FMemory.Free(void*)"};
}  // namespace sym::FMemory

namespace sym::FName {
// Writes the text of a game name into the string.
inline constexpr Function<void(const ::FName*, ::FString&)> ToString{"FName.ToString(FString&)"};
// Constructs a game name in place from a narrow text; FNAME_Find looks it up without adding it.
inline constexpr Function<void(::FName*, const char*, ::EFindName)> Construct{
    "FName.FName(char*,EFindName)"};
}  // namespace sym::FName

namespace sym::FGenericPlatformStricmp {
// Compares two zero-terminated texts ignoring case; 0 when equal.
inline constexpr Function<int32_t(const char16_t*, const char16_t*)> Stricmp{
    "FGenericPlatformStricmp.Stricmp(wchar_t*,wchar_t*)"};
}  // namespace sym::FGenericPlatformStricmp

namespace sym::FWeakObjectPtr {
// The object a weak reference points to, or null once it is gone. Callers pass false.
inline constexpr Function<::UObject*(const ::FWeakObjectPtr*, bool)> Get{"FWeakObjectPtr.Get()"};
}  // namespace sym::FWeakObjectPtr

// ---------------------------------------------------------------------------------------------
// Object model: classes, names, paths.

namespace sym::UObjectBase {
// The object's class; every live object has one.
inline constexpr Field<::UObjectBase, ::UClass*> ClassPrivate{"UObjectBase.ClassPrivate"};
// The object's own name (for a class, the class name such as "Raptor_Character_BP_C").
inline constexpr Field<::UObjectBase, ::FName> NamePrivate{"UObjectBase.NamePrivate"};
}  // namespace sym::UObjectBase

namespace sym::UObjectBaseUtility {
// Writes the object's full path name into the string; a null stop-outer gives the whole path.
inline constexpr Function<void(const ::UObjectBaseUtility*, ::UObject*, ::FString&)> GetPathName{
    "UObjectBaseUtility.GetPathName(UObject*,FString&)"};
}  // namespace sym::UObjectBaseUtility

namespace sym::UStruct {
// Size in bytes of one instance of the structure.
inline constexpr Field<::UStruct, int32_t> PropertiesSize{"UStruct.PropertiesSize"};
// True when this class or structure is the other one or derives from it.
inline constexpr Function<bool(::UStruct*, ::UStruct*)> IsChildOf{"UStruct.IsChildOf(UStruct*)"};
}  // namespace sym::UStruct

namespace sym::UVictoryCore {
// The default object of a class.
inline constexpr Function<::UObject*(::UClass*)> GetClassDefaultObject{
    "UVictoryCore.GetClassDefaultObject(UClass*)"};
}  // namespace sym::UVictoryCore

// ---------------------------------------------------------------------------------------------
// World, level and world queries.

namespace sym::UWorld {
// The level that holds the world's actors.
inline constexpr Field<::UWorld, ::ULevel*> PersistentLevel{"UWorld.PersistentLevel"};
// The world's game state; may be null.
inline constexpr Field<::UWorld, ::AGameStateBase*> GameState{"UWorld.GameState"};
// Weak references to the connected players' controllers; a disconnected player's entry
// goes stale.
inline constexpr Field<::UWorld, ::TArray<::TWeakObjectPtr<::AShooterPlayerController>>>
    PlayerControllerList{"UWorld.PlayerControllerList"};
// The world settings actor (map scale and origin), or null.
inline constexpr Function<::AWorldSettings*(::UWorld*, bool, bool)> GetWorldSettings{
    "UWorld.GetWorldSettings(bool,bool)"};
// The map's name, such as "TheIsland_WP".
inline constexpr Function<::FString*(::UWorld*, ::FString*)> GetMapName{"UWorld.GetMapName()"};
}  // namespace sym::UWorld

namespace sym::ULevel {
// Every actor in the level; some entries may be null.
inline constexpr Field<::ULevel, ::TArray<::AActor*>> Actors{"ULevel.Actors"};
}  // namespace sym::ULevel

namespace sym::UGameplayStatics {
// Fills the array with every actor of the class (or derived) in the context object's world.
// clang-format off
inline constexpr Function<void(::UObject*, ::TSubclassOf<::AActor>, ::TArray<::AActor*>&)>
    GetAllActorsOfClass{
        "UGameplayStatics.GetAllActorsOfClass(UObject*,TSubclassOf<AActor>,TArray<AActor*,TSizedDefaultAllocator<32>>&)"};
// clang-format on
}  // namespace sym::UGameplayStatics

namespace sym::UKismetSystemLibrary {
// Fills the last array with the actors within the radius of the centre that pass the
// object-type and class filters, less the actors to ignore; true when it found any.
// clang-format off
inline constexpr Function<bool(::UObject*, ::FVector, float,
                               ::TArray<::TEnumAsByte<::EObjectTypeQuery>>&, ::UClass*,
                               ::TArray<::AActor*>&, ::TArray<::AActor*>&)>
    SphereOverlapActors{
        "UKismetSystemLibrary.SphereOverlapActors(UObject*,UE::Math::TVector<double>,float,TArray<TEnumAsByte<EObjectTypeQuery>,TSizedDefaultAllocator<32>>&,UClass*,TArray<AActor*,TSizedDefaultAllocator<32>>&,TArray<AActor*,TSizedDefaultAllocator<32>>&)"};
// clang-format on
}  // namespace sym::UKismetSystemLibrary

namespace sym::APrimalWorldSettings {
// Map scale and origin: how world coordinates turn into the map's latitude and longitude.
inline constexpr Field<::APrimalWorldSettings, float> LongitudeScale{
    "APrimalWorldSettings.LongitudeScale"};
inline constexpr Field<::APrimalWorldSettings, float> LatitudeScale{
    "APrimalWorldSettings.LatitudeScale"};
inline constexpr Field<::APrimalWorldSettings, float> LongitudeOrigin{
    "APrimalWorldSettings.LongitudeOrigin"};
inline constexpr Field<::APrimalWorldSettings, float> LatitudeOrigin{
    "APrimalWorldSettings.LatitudeOrigin"};
}  // namespace sym::APrimalWorldSettings

// ---------------------------------------------------------------------------------------------
// Game mode and game state.

namespace sym::AGameModeBase {
// The game state the game mode runs; may be null.
inline constexpr Field<::AGameModeBase, ::AGameStateBase*> GameState{"AGameModeBase.GameState"};
}  // namespace sym::AGameModeBase

namespace sym::AShooterGameMode {
// Name of the save folder under the server's "Saved" folder.
inline constexpr Field<::AShooterGameMode, ::FString> SaveDirectoryName{
    "AShooterGameMode.SaveDirectoryName"};
// The player data of every known player, online or not.
inline constexpr Field<::AShooterGameMode, ::TArray<::UPrimalPlayerData*>> PlayerDatas{
    "AShooterGameMode.PlayerDatas"};
// Fills the record with the tribe's data, loading it from the save when needed; false when
// there is no such tribe.
inline constexpr Function<bool(::AShooterGameMode*, int32_t, ::FTribeData&)> GetOrLoadTribeData{
    "AShooterGameMode.GetOrLoadTribeData(int,FTribeData&)"};
// Disconnects the player, showing them the text; true when the player was kicked.
inline constexpr Function<bool(::AShooterGameMode*, ::APlayerController*, ::FString&)>
    KickPlayerController{"AShooterGameMode.KickPlayerController(APlayerController*,FString&)"};
}  // namespace sym::AShooterGameMode

namespace sym::AShooterGameState {
// Number of players the game state counts as connected.
inline constexpr Field<::AShooterGameState, int32_t> NumPlayerConnected{
    "AShooterGameState.NumPlayerConnected"};
// The server's current frames per second.
inline constexpr Field<::AShooterGameState, float> ServerFramerate{
    "AShooterGameState.ServerFramerate"};
// The in-game day and time as text.
inline constexpr Function<::FString*(::AShooterGameState*, ::FString*)> GetDayTimeString{
    "AShooterGameState.GetDayTimeString()"};
}  // namespace sym::AShooterGameState

// ---------------------------------------------------------------------------------------------
// Actors and components.

namespace sym::UPrimalActor {
// The actor's team number; a tribe's dinos and structures carry the tribe id. Read on any
// actor, player controllers included.
inline constexpr Field<::AActor, int32_t> TargetingTeam{"UPrimalActor.TargetingTeam"};
}  // namespace sym::UPrimalActor

namespace sym::AActor {
// The component that places the actor in the world; may be null.
inline constexpr Field<::AActor, ::USceneComponent*> RootComponent{"AActor.RootComponent"};
// The class of all actors.
inline constexpr Function<::UClass*()> StaticClass{"AActor.StaticClass()"};
// Removes the actor from the world unconditionally.
inline constexpr Function<void(::AActor*)> ForceDestroy{"AActor.ForceDestroy()"};
// Removes the actor from the world; true when the actor is gone.
inline constexpr Function<bool(::AActor*, bool, bool)> Destroy{"AActor.Destroy(bool,bool)"};
}  // namespace sym::AActor

namespace sym::USceneComponent {
// Location relative to the parent; for a root component, the location in the world.
inline constexpr Field<::USceneComponent, ::FVector> RelativeLocation{
    "USceneComponent.RelativeLocation"};
// The component's transform in the world; its translation is the world location.
inline constexpr Field<::USceneComponent, ::FTransform> ComponentToWorld{
    "USceneComponent.ComponentToWorld"};
}  // namespace sym::USceneComponent

namespace sym::APawn {
// The class of pawns (characters and dinos among them).
inline constexpr Function<::UClass*()> GetPrivateStaticClass{"APawn.GetPrivateStaticClass()"};
}  // namespace sym::APawn

namespace sym::APrimalCharacter {
// The character's display name.
inline constexpr Field<::APrimalCharacter, ::FString> DescriptiveName{
    "APrimalCharacter.DescriptiveName"};
// The component holding the character's status values and experience.
inline constexpr Field<::APrimalCharacter, ::UPrimalCharacterStatusComponent*>
    MyCharacterStatusComponent{"APrimalCharacter.MyCharacterStatusComponent"};
// Kills the character; the body stays in the world.
inline constexpr Function<void(::APrimalCharacter*)> Suicide{"APrimalCharacter.Suicide()"};
// Whether the character is dead.
inline constexpr Function<bool(::APrimalCharacter*)> IsDead{"APrimalCharacter.IsDead()"};
// Moves the character to the location with the rotation; true when it was moved.
// clang-format off
inline constexpr Function<bool(::APrimalCharacter*, ::FVector&, ::FRotator&, bool, bool)>
    TeleportTo{
        "APrimalCharacter.TeleportTo(UE::Math::TVector<double>&,UE::Math::TRotator<double>&,bool,bool)"};
// clang-format on
}  // namespace sym::APrimalCharacter

namespace sym::UPrimalCharacterStatusComponent {
// Maximum and current status values, one per status (index 4 is food).
inline constexpr Field<::UPrimalCharacterStatusComponent, float[12]> MaxStatusValues{
    "UPrimalCharacterStatusComponent.MaxStatusValues"};
inline constexpr Field<::UPrimalCharacterStatusComponent, float[12]> CurrentStatusValues{
    "UPrimalCharacterStatusComponent.CurrentStatusValues"};
// Adds experience of the type to the owning character.
inline constexpr Function<void(::UPrimalCharacterStatusComponent*, float, bool, ::EXPType::Type)>
    AddExperience{"UPrimalCharacterStatusComponent.AddExperience(float,bool,EXPType::Type)"};
}  // namespace sym::UPrimalCharacterStatusComponent

namespace sym::APrimalDinoCharacter {
// Name of whoever tamed the dino.
inline constexpr Field<::APrimalDinoCharacter, ::FString> TamerString{
    "APrimalDinoCharacter.TamerString"};
// Team the dino is being or was tamed for.
inline constexpr Field<::APrimalDinoCharacter, int32_t> TamingTeamID{
    "APrimalDinoCharacter.TamingTeamID"};
// The pair of numbers that identifies a dino.
inline constexpr Field<::APrimalDinoCharacter, uint32_t> DinoID1{"APrimalDinoCharacter.DinoID1"};
inline constexpr Field<::APrimalDinoCharacter, uint32_t> DinoID2{"APrimalDinoCharacter.DinoID2"};
// The dino's base level.
inline constexpr Field<::APrimalDinoCharacter, int32_t> AbsoluteBaseLevel{
    "APrimalDinoCharacter.AbsoluteBaseLevel"};
// The class of dinos.
inline constexpr Function<::UClass*()> GetPrivateStaticClass{
    "APrimalDinoCharacter.GetPrivateStaticClass()"};
// Sets the colour of one colour region.
inline constexpr Function<void(::APrimalDinoCharacter*, int32_t, int32_t)> ForceUpdateColorSets{
    "APrimalDinoCharacter.ForceUpdateColorSets(int,int)"};
// Imprints the dino on a player: character name, then player id as text.
inline constexpr Function<void(::APrimalDinoCharacter*, ::FString&, ::FString&)>
    UpdateImprintingDetails{"APrimalDinoCharacter.UpdateImprintingDetails(FString&,FString&)"};
// Sets the imprinting quality, 1.0 being full.
inline constexpr Function<void(::APrimalDinoCharacter*, float)> UpdateImprintingQuality{
    "APrimalDinoCharacter.UpdateImprintingQuality(float)"};
// The dino's own destroy; true when the dino is gone.
inline constexpr Function<bool(::APrimalDinoCharacter*, bool, bool)> Destroy{
    "APrimalDinoCharacter.Destroy(bool,bool)"};
// Tames the dino for the controller's team.
inline constexpr Function<void(::APrimalDinoCharacter*, ::AShooterPlayerController*, bool, int32_t,
                               bool, bool, bool)>
    TameDino{"APrimalDinoCharacter.TameDino(AShooterPlayerController*,bool,int,bool,bool,bool)"};
// Starts a freshly spawned dino's play.
inline constexpr Function<void(::APrimalDinoCharacter*)> BeginPlay{
    "APrimalDinoCharacter.BeginPlay()"};
// The dino with the id pair in the world, or null.
inline constexpr Function<::APrimalDinoCharacter*(::UWorld*, uint32_t, uint32_t)> FindDinoWithID{
    "APrimalDinoCharacter.FindDinoWithID(UWorld*,unsignedint,unsignedint)"};
// The dino's display name (flags: append the level, append the species).
inline constexpr Function<::FString*(::APrimalDinoCharacter*, ::FString*, bool, bool)>
    GetDinoDescriptiveName{"APrimalDinoCharacter.GetDinoDescriptiveName(bool,bool)"};
// Neuters the dino.
inline constexpr Function<void(::APrimalDinoCharacter*)> DoNeuter_Implementation{
    "APrimalDinoCharacter.DoNeuter_Implementation()"};
}  // namespace sym::APrimalDinoCharacter

namespace sym::APrimalTargetableActor {
// The display name of a structure or other targetable actor.
inline constexpr Field<::APrimalTargetableActor, ::FString> DescriptiveName{
    "APrimalTargetableActor.DescriptiveName"};
}  // namespace sym::APrimalTargetableActor

namespace sym::APrimalStructure {
// The item class that placing the structure consumes, or null.
inline constexpr Field<::APrimalStructure, ::UClass*> ConsumesPrimalItem{
    "APrimalStructure.ConsumesPrimalItem"};
// Name of the player who placed the structure.
inline constexpr Field<::APrimalStructure, ::FString> OwnerName{"APrimalStructure.OwnerName"};
// The item class that picking the structure up gives, or null.
inline constexpr Field<::APrimalStructure, ::UClass*> PickupGivesItem{
    "APrimalStructure.PickupGivesItem"};
// The class of structures.
inline constexpr Function<::UClass*()> GetPrivateStaticClass{
    "APrimalStructure.GetPrivateStaticClass()"};
}  // namespace sym::APrimalStructure

// ---------------------------------------------------------------------------------------------
// Players: characters, controllers, player states and their data.

namespace sym::AShooterCharacter {
// The player's character name.
inline constexpr Field<::AShooterCharacter, ::FString> PlayerName{"AShooterCharacter.PlayerName"};
// Id of the player data this character belongs to.
inline constexpr Field<::AShooterCharacter, uint64_t> LinkedPlayerDataID{
    "AShooterCharacter.LinkedPlayerDataID"};
// The class of players' characters.
inline constexpr Function<::UClass*()> GetPrivateStaticClass{
    "AShooterCharacter.GetPrivateStaticClass()"};
// Set the length and style of the character's facial or head hair.
inline constexpr Function<void(::AShooterCharacter*, float, int32_t)> NetSetFacialHairPercent{
    "AShooterCharacter.NetSetFacialHairPercent(float,int)"};
inline constexpr Function<void(::AShooterCharacter*, float, int32_t)> NetSetHeadHairPercent{
    "AShooterCharacter.NetSetHeadHairPercent(float,int)"};
// Grants the character hexagons, the amount first.
// clang-format off
inline constexpr Function<void(::AShooterCharacter*, int32_t, int32_t, float, int32_t, float,
                               ::FVector, int32_t, bool)>
    GiveHexagons{
        "AShooterCharacter.GiveHexagons(int,int,float,int,float,UE::Math::TVector<double>,int,bool)"};
// clang-format on
}  // namespace sym::AShooterCharacter

namespace sym::AController {
// The controller's player state; may be null.
inline constexpr Field<::AController, ::APlayerState*> PlayerState{"AController.PlayerState"};
// The pawn the controller possesses; may be null.
inline constexpr Field<::AController, ::APawn*> Pawn{"AController.Pawn"};
}  // namespace sym::AController

namespace sym::APlayerController {
// The player's own cheat manager; may be null.
inline constexpr Field<::APlayerController, ::UCheatManager*> CheatManager{
    "APlayerController.CheatManager"};
}  // namespace sym::APlayerController

namespace sym::AShooterPlayerController {
// Where the player's character was last seen, kept by the controller.
inline constexpr Field<::AShooterPlayerController, ::FVector> CurrentPlayerCharacterLocation{
    "AShooterPlayerController.CurrentPlayerCharacterLocation"};
// The player's 64-bit id.
inline constexpr Field<::AShooterPlayerController, uint64_t> LinkedPlayerID{
    "AShooterPlayerController.LinkedPlayerID"};
// Delivers one chat line to the player.
inline constexpr Function<void(::AShooterPlayerController*, ::FPrimalChatMessage)>
    ClientChatMessage{"AShooterPlayerController.ClientChatMessage(FPrimalChatMessage)"};
// Shows the player a coloured server chat line.
// clang-format off
inline constexpr Function<void(::AShooterPlayerController*, ::FString&, ::FLinearColor, bool,
                               ::FString&)>
    ClientServerChatDirectMessage{
        "AShooterPlayerController.ClientServerChatDirectMessage(FString&,FLinearColor,bool,FString&)"};
// clang-format on
// Shows the player an on-screen notification in a colour, with optional icon and sound.
// clang-format off
inline constexpr Function<void(::AShooterPlayerController*, ::FString&, ::FLinearColor, float,
                               float, ::UTexture2D*, ::USoundBase*, int32_t)>
    ClientServerNotification{
        "AShooterPlayerController.ClientServerNotification(FString&,FLinearColor,float,float,UTexture2D*,USoundBase*,int)"};
// clang-format on
// The player's character, dead or alive, or null.
inline constexpr Function<::AShooterCharacter*(::AShooterPlayerController*)> GetPlayerCharacter{
    "AShooterPlayerController.GetPlayerCharacter()"};
// Adds experience to the player (flags: from tribe share, prevent sharing).
inline constexpr Function<void(::AShooterPlayerController*, float, bool, bool)> AddExperience{
    "AShooterPlayerController.AddExperience(float,bool,bool)"};
// Spawns the blueprint near the player; the new actor, or null.
inline constexpr Function<::AActor*(::AShooterPlayerController*, ::FString&, float, float, float,
                                    bool)>
    SpawnActor{"AShooterPlayerController.SpawnActor(FString&,float,float,float,bool)"};
// Gives items by blueprint path (quantity, quality, force blueprint, ...) and adds them to
// the array; true on success.
// clang-format off
inline constexpr Function<bool(::AShooterPlayerController*, ::TArray<::UPrimalItem*>&, ::FString&,
                               int32_t, float, bool, bool, float)>
    GiveItem{
        "AShooterPlayerController.GiveItem(TArray<UPrimalItem*,TSizedDefaultAllocator<32>>&,FString&,int,float,bool,bool,float)"};
// clang-format on
// Gives items by catalogue index: index, quantity, quality, force blueprint; true on success.
inline constexpr Function<bool(::AShooterPlayerController*, int32_t, int32_t, float, bool)>
    GiveItemNum{"AShooterPlayerController.GiveItemNum(int,int,float,bool)"};
// The player's EOS id.
inline constexpr Function<::FString*(::AShooterPlayerController*, ::FString*)>
    GetUniqueNetIdAsString{"AShooterPlayerController.GetUniqueNetIdAsString()"};
// Moves the player to the location.
inline constexpr Function<void(::AShooterPlayerController*, float, float, float)> SetPlayerPos{
    "AShooterPlayerController.SetPlayerPos(float,float,float)"};
// The player's id in decimal.
inline constexpr Function<::FString*(::AShooterPlayerController*, ::FString*)> LinkedPlayerIDString{
    "AShooterPlayerController.LinkedPlayerIDString()"};
// The player's character name.
inline constexpr Function<::FString*(::AShooterPlayerController*, ::FString*)>
    GetPlayerCharacterName{"AShooterPlayerController.GetPlayerCharacterName()"};
// Whether the player belongs to a tribe.
inline constexpr Function<bool(::AShooterPlayerController*)> IsInTribe{
    "AShooterPlayerController.IsInTribe()"};
}  // namespace sym::AShooterPlayerController

namespace sym::AShooterPlayerState {
// The player's persistent data object.
inline constexpr Field<::AShooterPlayerState, ::UPrimalPlayerData*> MyPlayerData{
    "AShooterPlayerState.MyPlayerData"};
// The player's tribe record, embedded in the player state: the field's address is the record.
inline constexpr Field<::AShooterPlayerState, ::FTribeData> MyTribeData{
    "AShooterPlayerState.MyTribeData"};
// The player's name (not the character's).
inline constexpr Function<::FString*(::AShooterPlayerState*, ::FString*)> GetPlayerName{
    "AShooterPlayerState.GetPlayerName()"};
// Applies the tribe's taming settings to a dino the player tames.
inline constexpr Function<void(::AShooterPlayerState*, ::APrimalDinoCharacter*)>
    SetTribeTamingDinoSettings{
        "AShooterPlayerState.SetTribeTamingDinoSettings(APrimalDinoCharacter*)"};
}  // namespace sym::AShooterPlayerState

namespace sym::UPrimalPlayerData {
// The player's saved record, embedded: the field's address is the record.
inline constexpr Field<::UPrimalPlayerData, ::FPrimalPlayerDataStruct> MyData{
    "UPrimalPlayerData.MyData"};
}  // namespace sym::UPrimalPlayerData

namespace sym::FPrimalPlayerDataStruct {
// Id of the player's tribe.
inline constexpr Field<::FPrimalPlayerDataStruct, int32_t> TribeID{
    "FPrimalPlayerDataStruct.TribeID"};
}  // namespace sym::FPrimalPlayerDataStruct

namespace sym::FTribeData {
// The tribe's name and id.
inline constexpr Field<::FTribeData, ::FString> TribeName{"FTribeData.TribeName"};
inline constexpr Field<::FTribeData, int32_t> TribeID{"FTribeData.TribeID"};
// The tribe's log entries.
inline constexpr Field<::FTribeData, ::TArray<::FString>> TribeLog{"FTribeData.TribeLog"};
// The structure that describes the tribe record (its size is "UStruct.PropertiesSize"), or
// null when the game does not know it.
inline constexpr Function<::UScriptStruct*()> StaticStruct{"FTribeData.StaticStruct()"};
}  // namespace sym::FTribeData

// ---------------------------------------------------------------------------------------------
// Cheat manager and RCON.

namespace sym::UShooterCheatManager {
// Renames a tribe by id.
inline constexpr Function<void(::UShooterCheatManager*, int32_t, ::FString&)> RenameTribeID{
    "UShooterCheatManager.RenameTribeID(int,FString&)"};
// Renames a player's character by player id.
inline constexpr Function<void(::UShooterCheatManager*, int32_t, ::FString&)> RenamePlayerId{
    "UShooterCheatManager.RenamePlayerId(int,FString&)"};
// Gives the cheat manager's player a set of armor of a tier and quality.
inline constexpr Function<void(::UShooterCheatManager*, ::FName, ::FName)> GiveArmorSet{
    "UShooterCheatManager.GiveArmorSet(FName,FName)"};
// Runs a console script command.
inline constexpr Function<void(::UShooterCheatManager*, ::FString&)> ScriptCommand{
    "UShooterCheatManager.ScriptCommand(FString&)"};
// Raise the cheat manager's player to admin, or to founder, of their tribe.
inline constexpr Function<void(::UShooterCheatManager*)> MakeTribeAdmin{
    "UShooterCheatManager.MakeTribeAdmin()"};
inline constexpr Function<void(::UShooterCheatManager*)> MakeTribeFounder{
    "UShooterCheatManager.MakeTribeFounder()"};
// Unlocks an engram, named by blueprint path, for the cheat manager's player.
inline constexpr Function<void(::UShooterCheatManager*, ::FString&)> UnlockEngram{
    "UShooterCheatManager.UnlockEngram(FString&)"};
// Marks a boss as defeated for a player id, at a difficulty.
inline constexpr Function<void(::UShooterCheatManager*, int32_t, ::FName, char)> DefeatBoss{
    "UShooterCheatManager.DefeatBoss(int,FName,char)"};
}  // namespace sym::UShooterCheatManager

namespace sym::RCONClientConnection {
// Sends a reply on the connection: request id, packet type, body.
inline constexpr Function<void(::RCONClientConnection*, int32_t, int32_t, ::FString&)> SendMessage{
    "RCONClientConnection.SendMessage(int,int,FString&)"};
}  // namespace sym::RCONClientConnection
