// The list of every game member reached by symbolic name: one ORVANE_GAME_MEMBER(owner, member,
// "symbolic name", type) line each. This is the only place a name is written. The includer
// defines ORVANE_GAME_MEMBER to make what it needs of each line (sdk/game_members.h: the typed
// constants sym::<owner>::<member>; the plugin's host: the table of every name) and undefines
// it after. Deliberately without an include guard. Long names stay whole on one line, so that
// a search for a full name finds its line.
// clang-format off

// ---------------------------------------------------------------------------------------------
// Memory, names, strings and weak references.

// The game's allocator; every FString and TArray block comes from it. Alignment 0 is the
// game's default.
ORVANE_GAME_MEMBER(FMemory, Malloc, "FMemory.Malloc(unsigned__int64,unsignedint)", Function<void*(uint64_t, uint32_t)>)
ORVANE_GAME_MEMBER(FMemory, Realloc, "FMemory.Realloc(void*,unsigned__int64,unsignedint)", Function<void*(void*, uint64_t, uint32_t)>)
ORVANE_GAME_MEMBER(FMemory, Free, "FMemory.Free(void*)", Function<void(void*)>)

// Writes the text of a game name into the string.
ORVANE_GAME_MEMBER(FName, ToString, "FName.ToString(FString&)", Function<void(const ::FName*, ::FString&)>)
// Constructs a game name in place from a narrow text; FNAME_Find looks it up without adding it.
ORVANE_GAME_MEMBER(FName, Construct, "FName.FName(char*,EFindName)", Function<void(::FName*, const char*, ::EFindName)>)

// Compares two zero-terminated texts ignoring case; 0 when equal.
ORVANE_GAME_MEMBER(FGenericPlatformStricmp, Stricmp, "FGenericPlatformStricmp.Stricmp(wchar_t*,wchar_t*)", Function<int32_t(const char16_t*, const char16_t*)>)

// The object a weak reference points to, or null once it is gone. Callers pass false.
ORVANE_GAME_MEMBER(FWeakObjectPtr, Get, "FWeakObjectPtr.Get()", Function<::UObject*(const ::FWeakObjectPtr*, bool)>)

// ---------------------------------------------------------------------------------------------
// Object model: classes, names, paths.

// The object's class; every live object has one.
ORVANE_GAME_MEMBER(UObjectBase, ClassPrivate, "UObjectBase.ClassPrivate", Field<::UObjectBase, ::UClass*>)
// The object's own name (for a class, the class name such as "Raptor_Character_BP_C").
ORVANE_GAME_MEMBER(UObjectBase, NamePrivate, "UObjectBase.NamePrivate", Field<::UObjectBase, ::FName>)

// Writes the object's full path name into the string; a null stop-outer gives the whole path.
ORVANE_GAME_MEMBER(UObjectBaseUtility, GetPathName, "UObjectBaseUtility.GetPathName(UObject*,FString&)", Function<void(const ::UObjectBaseUtility*, ::UObject*, ::FString&)>)

// Size in bytes of one instance of the structure.
ORVANE_GAME_MEMBER(UStruct, PropertiesSize, "UStruct.PropertiesSize", Field<::UStruct, int32_t>)
// True when this class or structure is the other one or derives from it.
ORVANE_GAME_MEMBER(UStruct, IsChildOf, "UStruct.IsChildOf(UStruct*)", Function<bool(::UStruct*, ::UStruct*)>)

// The default object of a class.
ORVANE_GAME_MEMBER(UVictoryCore, GetClassDefaultObject, "UVictoryCore.GetClassDefaultObject(UClass*)", Function<::UObject*(::UClass*)>)

// ---------------------------------------------------------------------------------------------
// World, level and world queries.

// The level that holds the world's actors.
ORVANE_GAME_MEMBER(UWorld, PersistentLevel, "UWorld.PersistentLevel", Field<::UWorld, ::ULevel*>)
// The world's game state; may be null.
ORVANE_GAME_MEMBER(UWorld, GameState, "UWorld.GameState", Field<::UWorld, ::AGameStateBase*>)
// Weak references to the connected players' controllers; a disconnected player's entry
// goes stale.
ORVANE_GAME_MEMBER(UWorld, PlayerControllerList, "UWorld.PlayerControllerList", Field<::UWorld, ::TArray<::TWeakObjectPtr<::AShooterPlayerController>>>)
// The world settings actor (map scale and origin), or null.
ORVANE_GAME_MEMBER(UWorld, GetWorldSettings, "UWorld.GetWorldSettings(bool,bool)", Function<::AWorldSettings*(::UWorld*, bool, bool)>)
// The map's name, such as "TheIsland_WP".
ORVANE_GAME_MEMBER(UWorld, GetMapName, "UWorld.GetMapName()", Function<::FString*(::UWorld*, ::FString*)>)

// Every actor in the level; some entries may be null.
ORVANE_GAME_MEMBER(ULevel, Actors, "ULevel.Actors", Field<::ULevel, ::TArray<::AActor*>>)

// Fills the array with every actor of the class (or derived) in the context object's world.
ORVANE_GAME_MEMBER(UGameplayStatics, GetAllActorsOfClass, "UGameplayStatics.GetAllActorsOfClass(UObject*,TSubclassOf<AActor>,TArray<AActor*,TSizedDefaultAllocator<32>>&)", Function<void(::UObject*, ::TSubclassOf<::AActor>, ::TArray<::AActor*>&)>)

// Fills the last array with the actors within the radius of the centre that pass the
// object-type and class filters, less the actors to ignore; true when it found any.
ORVANE_GAME_MEMBER(UKismetSystemLibrary, SphereOverlapActors, "UKismetSystemLibrary.SphereOverlapActors(UObject*,UE::Math::TVector<double>,float,TArray<TEnumAsByte<EObjectTypeQuery>,TSizedDefaultAllocator<32>>&,UClass*,TArray<AActor*,TSizedDefaultAllocator<32>>&,TArray<AActor*,TSizedDefaultAllocator<32>>&)", Function<bool(::UObject*, ::FVector, float, ::TArray<::TEnumAsByte<::EObjectTypeQuery>>&, ::UClass*, ::TArray<::AActor*>&, ::TArray<::AActor*>&)>)

// Map scale and origin: how world coordinates turn into the map's latitude and longitude.
ORVANE_GAME_MEMBER(APrimalWorldSettings, LongitudeScale, "APrimalWorldSettings.LongitudeScale", Field<::APrimalWorldSettings, float>)
ORVANE_GAME_MEMBER(APrimalWorldSettings, LatitudeScale, "APrimalWorldSettings.LatitudeScale", Field<::APrimalWorldSettings, float>)
ORVANE_GAME_MEMBER(APrimalWorldSettings, LongitudeOrigin, "APrimalWorldSettings.LongitudeOrigin", Field<::APrimalWorldSettings, float>)
ORVANE_GAME_MEMBER(APrimalWorldSettings, LatitudeOrigin, "APrimalWorldSettings.LatitudeOrigin", Field<::APrimalWorldSettings, float>)

// ---------------------------------------------------------------------------------------------
// Game mode and game state.

// The game state the game mode runs; may be null.
ORVANE_GAME_MEMBER(AGameModeBase, GameState, "AGameModeBase.GameState", Field<::AGameModeBase, ::AGameStateBase*>)

// Name of the save folder under the server's "Saved" folder.
ORVANE_GAME_MEMBER(AShooterGameMode, SaveDirectoryName, "AShooterGameMode.SaveDirectoryName", Field<::AShooterGameMode, ::FString>)
// The player data of every known player, online or not.
ORVANE_GAME_MEMBER(AShooterGameMode, PlayerDatas, "AShooterGameMode.PlayerDatas", Field<::AShooterGameMode, ::TArray<::UPrimalPlayerData*>>)
// Fills the record with the tribe's data, loading it from the save when needed; false when
// there is no such tribe.
ORVANE_GAME_MEMBER(AShooterGameMode, GetOrLoadTribeData, "AShooterGameMode.GetOrLoadTribeData(int,FTribeData&)", Function<bool(::AShooterGameMode*, int32_t, ::FTribeData&)>)
// Disconnects the player, showing them the text; true when the player was kicked.
ORVANE_GAME_MEMBER(AShooterGameMode, KickPlayerController, "AShooterGameMode.KickPlayerController(APlayerController*,FString&)", Function<bool(::AShooterGameMode*, ::APlayerController*, ::FString&)>)

// Number of players the game state counts as connected.
ORVANE_GAME_MEMBER(AShooterGameState, NumPlayerConnected, "AShooterGameState.NumPlayerConnected", Field<::AShooterGameState, int32_t>)
// The server's current frames per second.
ORVANE_GAME_MEMBER(AShooterGameState, ServerFramerate, "AShooterGameState.ServerFramerate", Field<::AShooterGameState, float>)
// The in-game day and time as text.
ORVANE_GAME_MEMBER(AShooterGameState, GetDayTimeString, "AShooterGameState.GetDayTimeString()", Function<::FString*(::AShooterGameState*, ::FString*)>)

// ---------------------------------------------------------------------------------------------
// Actors and components.

// The actor's team number; a tribe's dinos and structures carry the tribe id. Read on any
// actor, player controllers included.
ORVANE_GAME_MEMBER(UPrimalActor, TargetingTeam, "UPrimalActor.TargetingTeam", Field<::AActor, int32_t>)

// The component that places the actor in the world; may be null.
ORVANE_GAME_MEMBER(AActor, RootComponent, "AActor.RootComponent", Field<::AActor, ::USceneComponent*>)
// The class of all actors.
ORVANE_GAME_MEMBER(AActor, StaticClass, "AActor.StaticClass()", Function<::UClass*()>)
// Removes the actor from the world unconditionally.
ORVANE_GAME_MEMBER(AActor, ForceDestroy, "AActor.ForceDestroy()", Function<void(::AActor*)>)
// Removes the actor from the world; true when the actor is gone.
ORVANE_GAME_MEMBER(AActor, Destroy, "AActor.Destroy(bool,bool)", Function<bool(::AActor*, bool, bool)>)

// Location relative to the parent; for a root component, the location in the world.
ORVANE_GAME_MEMBER(USceneComponent, RelativeLocation, "USceneComponent.RelativeLocation", Field<::USceneComponent, ::FVector>)
// The component's transform in the world; its translation is the world location.
ORVANE_GAME_MEMBER(USceneComponent, ComponentToWorld, "USceneComponent.ComponentToWorld", Field<::USceneComponent, ::FTransform>)

// The class of pawns (characters and dinos among them).
ORVANE_GAME_MEMBER(APawn, GetPrivateStaticClass, "APawn.GetPrivateStaticClass()", Function<::UClass*()>)

// The character's display name.
ORVANE_GAME_MEMBER(APrimalCharacter, DescriptiveName, "APrimalCharacter.DescriptiveName", Field<::APrimalCharacter, ::FString>)
// The component holding the character's status values and experience.
ORVANE_GAME_MEMBER(APrimalCharacter, MyCharacterStatusComponent, "APrimalCharacter.MyCharacterStatusComponent", Field<::APrimalCharacter, ::UPrimalCharacterStatusComponent*>)
// Kills the character; the body stays in the world.
ORVANE_GAME_MEMBER(APrimalCharacter, Suicide, "APrimalCharacter.Suicide()", Function<void(::APrimalCharacter*)>)
// Whether the character is dead.
ORVANE_GAME_MEMBER(APrimalCharacter, IsDead, "APrimalCharacter.IsDead()", Function<bool(::APrimalCharacter*)>)
// Moves the character to the location with the rotation; true when it was moved.
ORVANE_GAME_MEMBER(APrimalCharacter, TeleportTo, "APrimalCharacter.TeleportTo(UE::Math::TVector<double>&,UE::Math::TRotator<double>&,bool,bool)", Function<bool(::APrimalCharacter*, ::FVector&, ::FRotator&, bool, bool)>)

// Maximum and current status values, one per status (index 4 is food).
ORVANE_GAME_MEMBER(UPrimalCharacterStatusComponent, MaxStatusValues, "UPrimalCharacterStatusComponent.MaxStatusValues", Field<::UPrimalCharacterStatusComponent, float[12]>)
ORVANE_GAME_MEMBER(UPrimalCharacterStatusComponent, CurrentStatusValues, "UPrimalCharacterStatusComponent.CurrentStatusValues", Field<::UPrimalCharacterStatusComponent, float[12]>)
// Adds experience of the type to the owning character.
ORVANE_GAME_MEMBER(UPrimalCharacterStatusComponent, AddExperience, "UPrimalCharacterStatusComponent.AddExperience(float,bool,EXPType::Type)", Function<void(::UPrimalCharacterStatusComponent*, float, bool, ::EXPType::Type)>)

// Name of whoever tamed the dino.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, TamerString, "APrimalDinoCharacter.TamerString", Field<::APrimalDinoCharacter, ::FString>)
// Team the dino is being or was tamed for.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, TamingTeamID, "APrimalDinoCharacter.TamingTeamID", Field<::APrimalDinoCharacter, int32_t>)
// The pair of numbers that identifies a dino.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, DinoID1, "APrimalDinoCharacter.DinoID1", Field<::APrimalDinoCharacter, uint32_t>)
ORVANE_GAME_MEMBER(APrimalDinoCharacter, DinoID2, "APrimalDinoCharacter.DinoID2", Field<::APrimalDinoCharacter, uint32_t>)
// The dino's base level.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, AbsoluteBaseLevel, "APrimalDinoCharacter.AbsoluteBaseLevel", Field<::APrimalDinoCharacter, int32_t>)
// The class of dinos.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, GetPrivateStaticClass, "APrimalDinoCharacter.GetPrivateStaticClass()", Function<::UClass*()>)
// Sets the colour of one colour region.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, ForceUpdateColorSets, "APrimalDinoCharacter.ForceUpdateColorSets(int,int)", Function<void(::APrimalDinoCharacter*, int32_t, int32_t)>)
// Imprints the dino on a player: character name, then player id as text.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, UpdateImprintingDetails, "APrimalDinoCharacter.UpdateImprintingDetails(FString&,FString&)", Function<void(::APrimalDinoCharacter*, ::FString&, ::FString&)>)
// Sets the imprinting quality, 1.0 being full.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, UpdateImprintingQuality, "APrimalDinoCharacter.UpdateImprintingQuality(float)", Function<void(::APrimalDinoCharacter*, float)>)
// The dino's own destroy; true when the dino is gone.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, Destroy, "APrimalDinoCharacter.Destroy(bool,bool)", Function<bool(::APrimalDinoCharacter*, bool, bool)>)
// Tames the dino for the controller's team.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, TameDino, "APrimalDinoCharacter.TameDino(AShooterPlayerController*,bool,int,bool,bool,bool)", Function<void(::APrimalDinoCharacter*, ::AShooterPlayerController*, bool, int32_t, bool, bool, bool)>)
// Starts a freshly spawned dino's play.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, BeginPlay, "APrimalDinoCharacter.BeginPlay()", Function<void(::APrimalDinoCharacter*)>)
// The dino with the id pair in the world, or null.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, FindDinoWithID, "APrimalDinoCharacter.FindDinoWithID(UWorld*,unsignedint,unsignedint)", Function<::APrimalDinoCharacter*(::UWorld*, uint32_t, uint32_t)>)
// The dino's display name (flags: append the level, append the species).
ORVANE_GAME_MEMBER(APrimalDinoCharacter, GetDinoDescriptiveName, "APrimalDinoCharacter.GetDinoDescriptiveName(bool,bool)", Function<::FString*(::APrimalDinoCharacter*, ::FString*, bool, bool)>)
// Neuters the dino.
ORVANE_GAME_MEMBER(APrimalDinoCharacter, DoNeuter_Implementation, "APrimalDinoCharacter.DoNeuter_Implementation()", Function<void(::APrimalDinoCharacter*)>)

// The display name of a structure or other targetable actor.
ORVANE_GAME_MEMBER(APrimalTargetableActor, DescriptiveName, "APrimalTargetableActor.DescriptiveName", Field<::APrimalTargetableActor, ::FString>)

// The item class that placing the structure consumes, or null.
ORVANE_GAME_MEMBER(APrimalStructure, ConsumesPrimalItem, "APrimalStructure.ConsumesPrimalItem", Field<::APrimalStructure, ::UClass*>)
// Name of the player who placed the structure.
ORVANE_GAME_MEMBER(APrimalStructure, OwnerName, "APrimalStructure.OwnerName", Field<::APrimalStructure, ::FString>)
// The item class that picking the structure up gives, or null.
ORVANE_GAME_MEMBER(APrimalStructure, PickupGivesItem, "APrimalStructure.PickupGivesItem", Field<::APrimalStructure, ::UClass*>)
// The class of structures.
ORVANE_GAME_MEMBER(APrimalStructure, GetPrivateStaticClass, "APrimalStructure.GetPrivateStaticClass()", Function<::UClass*()>)

// ---------------------------------------------------------------------------------------------
// Players: characters, controllers, player states and their data.

// The player's character name.
ORVANE_GAME_MEMBER(AShooterCharacter, PlayerName, "AShooterCharacter.PlayerName", Field<::AShooterCharacter, ::FString>)
// Id of the player data this character belongs to.
ORVANE_GAME_MEMBER(AShooterCharacter, LinkedPlayerDataID, "AShooterCharacter.LinkedPlayerDataID", Field<::AShooterCharacter, uint64_t>)
// The class of players' characters.
ORVANE_GAME_MEMBER(AShooterCharacter, GetPrivateStaticClass, "AShooterCharacter.GetPrivateStaticClass()", Function<::UClass*()>)
// Set the length and style of the character's facial or head hair.
ORVANE_GAME_MEMBER(AShooterCharacter, NetSetFacialHairPercent, "AShooterCharacter.NetSetFacialHairPercent(float,int)", Function<void(::AShooterCharacter*, float, int32_t)>)
ORVANE_GAME_MEMBER(AShooterCharacter, NetSetHeadHairPercent, "AShooterCharacter.NetSetHeadHairPercent(float,int)", Function<void(::AShooterCharacter*, float, int32_t)>)
// Grants the character hexagons, the amount first.
ORVANE_GAME_MEMBER(AShooterCharacter, GiveHexagons, "AShooterCharacter.GiveHexagons(int,int,float,int,float,UE::Math::TVector<double>,int,bool)", Function<void(::AShooterCharacter*, int32_t, int32_t, float, int32_t, float, ::FVector, int32_t, bool)>)

// The controller's player state; may be null.
ORVANE_GAME_MEMBER(AController, PlayerState, "AController.PlayerState", Field<::AController, ::APlayerState*>)
// The pawn the controller possesses; may be null.
ORVANE_GAME_MEMBER(AController, Pawn, "AController.Pawn", Field<::AController, ::APawn*>)

// The player's own cheat manager; may be null.
ORVANE_GAME_MEMBER(APlayerController, CheatManager, "APlayerController.CheatManager", Field<::APlayerController, ::UCheatManager*>)

// Where the player's character was last seen, kept by the controller.
ORVANE_GAME_MEMBER(AShooterPlayerController, CurrentPlayerCharacterLocation, "AShooterPlayerController.CurrentPlayerCharacterLocation", Field<::AShooterPlayerController, ::FVector>)
// The player's 64-bit id.
ORVANE_GAME_MEMBER(AShooterPlayerController, LinkedPlayerID, "AShooterPlayerController.LinkedPlayerID", Field<::AShooterPlayerController, uint64_t>)
// Delivers one chat line to the player.
ORVANE_GAME_MEMBER(AShooterPlayerController, ClientChatMessage, "AShooterPlayerController.ClientChatMessage(FPrimalChatMessage)", Function<void(::AShooterPlayerController*, ::FPrimalChatMessage)>)
// Shows the player a coloured server chat line.
ORVANE_GAME_MEMBER(AShooterPlayerController, ClientServerChatDirectMessage, "AShooterPlayerController.ClientServerChatDirectMessage(FString&,FLinearColor,bool,FString&)", Function<void(::AShooterPlayerController*, ::FString&, ::FLinearColor, bool, ::FString&)>)
// Shows the player an on-screen notification in a colour, with optional icon and sound.
ORVANE_GAME_MEMBER(AShooterPlayerController, ClientServerNotification, "AShooterPlayerController.ClientServerNotification(FString&,FLinearColor,float,float,UTexture2D*,USoundBase*,int)", Function<void(::AShooterPlayerController*, ::FString&, ::FLinearColor, float, float, ::UTexture2D*, ::USoundBase*, int32_t)>)
// The player's character, dead or alive, or null.
ORVANE_GAME_MEMBER(AShooterPlayerController, GetPlayerCharacter, "AShooterPlayerController.GetPlayerCharacter()", Function<::AShooterCharacter*(::AShooterPlayerController*)>)
// Adds experience to the player (flags: from tribe share, prevent sharing).
ORVANE_GAME_MEMBER(AShooterPlayerController, AddExperience, "AShooterPlayerController.AddExperience(float,bool,bool)", Function<void(::AShooterPlayerController*, float, bool, bool)>)
// Spawns the blueprint near the player; the new actor, or null.
ORVANE_GAME_MEMBER(AShooterPlayerController, SpawnActor, "AShooterPlayerController.SpawnActor(FString&,float,float,float,bool)", Function<::AActor*(::AShooterPlayerController*, ::FString&, float, float, float, bool)>)
// Gives items by blueprint path (quantity, quality, force blueprint, ...) and adds them to
// the array; true on success.
ORVANE_GAME_MEMBER(AShooterPlayerController, GiveItem, "AShooterPlayerController.GiveItem(TArray<UPrimalItem*,TSizedDefaultAllocator<32>>&,FString&,int,float,bool,bool,float)", Function<bool(::AShooterPlayerController*, ::TArray<::UPrimalItem*>&, ::FString&, int32_t, float, bool, bool, float)>)
// Gives items by catalogue index: index, quantity, quality, force blueprint; true on success.
ORVANE_GAME_MEMBER(AShooterPlayerController, GiveItemNum, "AShooterPlayerController.GiveItemNum(int,int,float,bool)", Function<bool(::AShooterPlayerController*, int32_t, int32_t, float, bool)>)
// The player's EOS id.
ORVANE_GAME_MEMBER(AShooterPlayerController, GetUniqueNetIdAsString, "AShooterPlayerController.GetUniqueNetIdAsString()", Function<::FString*(::AShooterPlayerController*, ::FString*)>)
// Moves the player to the location.
ORVANE_GAME_MEMBER(AShooterPlayerController, SetPlayerPos, "AShooterPlayerController.SetPlayerPos(float,float,float)", Function<void(::AShooterPlayerController*, float, float, float)>)
// The player's id in decimal.
ORVANE_GAME_MEMBER(AShooterPlayerController, LinkedPlayerIDString, "AShooterPlayerController.LinkedPlayerIDString()", Function<::FString*(::AShooterPlayerController*, ::FString*)>)
// The player's character name.
ORVANE_GAME_MEMBER(AShooterPlayerController, GetPlayerCharacterName, "AShooterPlayerController.GetPlayerCharacterName()", Function<::FString*(::AShooterPlayerController*, ::FString*)>)
// Whether the player belongs to a tribe.
ORVANE_GAME_MEMBER(AShooterPlayerController, IsInTribe, "AShooterPlayerController.IsInTribe()", Function<bool(::AShooterPlayerController*)>)

// The player's persistent data object.
ORVANE_GAME_MEMBER(AShooterPlayerState, MyPlayerData, "AShooterPlayerState.MyPlayerData", Field<::AShooterPlayerState, ::UPrimalPlayerData*>)
// The player's tribe record, embedded in the player state: the field's address is the record.
ORVANE_GAME_MEMBER(AShooterPlayerState, MyTribeData, "AShooterPlayerState.MyTribeData", Field<::AShooterPlayerState, ::FTribeData>)
// The player's name (not the character's).
ORVANE_GAME_MEMBER(AShooterPlayerState, GetPlayerName, "AShooterPlayerState.GetPlayerName()", Function<::FString*(::AShooterPlayerState*, ::FString*)>)
// Applies the tribe's taming settings to a dino the player tames.
ORVANE_GAME_MEMBER(AShooterPlayerState, SetTribeTamingDinoSettings, "AShooterPlayerState.SetTribeTamingDinoSettings(APrimalDinoCharacter*)", Function<void(::AShooterPlayerState*, ::APrimalDinoCharacter*)>)

// The player's saved record, embedded: the field's address is the record.
ORVANE_GAME_MEMBER(UPrimalPlayerData, MyData, "UPrimalPlayerData.MyData", Field<::UPrimalPlayerData, ::FPrimalPlayerDataStruct>)

// Id of the player's tribe.
ORVANE_GAME_MEMBER(FPrimalPlayerDataStruct, TribeID, "FPrimalPlayerDataStruct.TribeID", Field<::FPrimalPlayerDataStruct, int32_t>)

// The tribe's name and id.
ORVANE_GAME_MEMBER(FTribeData, TribeName, "FTribeData.TribeName", Field<::FTribeData, ::FString>)
ORVANE_GAME_MEMBER(FTribeData, TribeID, "FTribeData.TribeID", Field<::FTribeData, int32_t>)
// The tribe's log entries.
ORVANE_GAME_MEMBER(FTribeData, TribeLog, "FTribeData.TribeLog", Field<::FTribeData, ::TArray<::FString>>)
// The structure that describes the tribe record (its size is "UStruct.PropertiesSize"), or
// null when the game does not know it.
ORVANE_GAME_MEMBER(FTribeData, StaticStruct, "FTribeData.StaticStruct()", Function<::UScriptStruct*()>)

// ---------------------------------------------------------------------------------------------
// Cheat manager and RCON.

// Renames a tribe by id.
ORVANE_GAME_MEMBER(UShooterCheatManager, RenameTribeID, "UShooterCheatManager.RenameTribeID(int,FString&)", Function<void(::UShooterCheatManager*, int32_t, ::FString&)>)
// Renames a player's character by player id.
ORVANE_GAME_MEMBER(UShooterCheatManager, RenamePlayerId, "UShooterCheatManager.RenamePlayerId(int,FString&)", Function<void(::UShooterCheatManager*, int32_t, ::FString&)>)
// Gives the cheat manager's player a set of armor of a tier and quality.
ORVANE_GAME_MEMBER(UShooterCheatManager, GiveArmorSet, "UShooterCheatManager.GiveArmorSet(FName,FName)", Function<void(::UShooterCheatManager*, ::FName, ::FName)>)
// Runs a console script command.
ORVANE_GAME_MEMBER(UShooterCheatManager, ScriptCommand, "UShooterCheatManager.ScriptCommand(FString&)", Function<void(::UShooterCheatManager*, ::FString&)>)
// Raise the cheat manager's player to admin, or to founder, of their tribe.
ORVANE_GAME_MEMBER(UShooterCheatManager, MakeTribeAdmin, "UShooterCheatManager.MakeTribeAdmin()", Function<void(::UShooterCheatManager*)>)
ORVANE_GAME_MEMBER(UShooterCheatManager, MakeTribeFounder, "UShooterCheatManager.MakeTribeFounder()", Function<void(::UShooterCheatManager*)>)
// Unlocks an engram, named by blueprint path, for the cheat manager's player.
ORVANE_GAME_MEMBER(UShooterCheatManager, UnlockEngram, "UShooterCheatManager.UnlockEngram(FString&)", Function<void(::UShooterCheatManager*, ::FString&)>)
// Marks a boss as defeated for a player id, at a difficulty.
ORVANE_GAME_MEMBER(UShooterCheatManager, DefeatBoss, "UShooterCheatManager.DefeatBoss(int,FName,char)", Function<void(::UShooterCheatManager*, int32_t, ::FName, char)>)

// Sends a reply on the connection: request id, packet type, body.
ORVANE_GAME_MEMBER(RCONClientConnection, SendMessage, "RCONClientConnection.SendMessage(int,int,FString&)", Function<void(::RCONClientConnection*, int32_t, int32_t, ::FString&)>)

// clang-format on
