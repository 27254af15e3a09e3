// GameAccess: the plugin's only way into the game. Every field and function is named by its
// symbolic name (sdk/game_members.h) and resolved through the framework at each use; nothing
// is cached. Thread: the game thread.
#pragma once

#include <string_view>
#include <type_traits>
#include <utility>

#include <sdk/address.h>

namespace orvane::host {

// The field `member` of `object`. REQUIRES: object is not null.
template <class Owner, class T, class Object>
requires std::is_base_of_v<Owner, Object> || std::is_same_v<Owner, Object> T& Field(
    Object* object, sym::Field<Owner, T> member) {
  return *static_cast<T*>(GetAddress(static_cast<const Owner*>(object), member.name));
}

// Calls the game function `member` with `args` (the object first for a member function).
template <class R, class... Params, class... Args>
R Call(sym::Function<R(Params...)> member, Args&&... args) {
  return sym::Resolve(member)(std::forward<Args>(args)...);
}

}  // namespace orvane::host

#include <sdk/game_members.h>

namespace orvane::host {

// The class of an object ("UObjectBase.ClassPrivate"); null for a null object.
UClass* ClassOf(const UObjectBase* object);
// Whether `object`'s class is `cls` or derives from it (low byte of "UStruct.IsChildOf").
bool IsA(const UObjectBase* object, UClass* cls);

// The classes the plugin tests against, taken from the game at each call.
UClass* DinoClass();
UClass* StructureClass();
UClass* PawnClass();

// The object a weak reference points to, or null when it is gone.
UObject* Resolve(const FWeakObjectPtr& weak);
// The text of a game name.
FString NameText(const FName& name);
// A game name from text; an unknown text gives the game's "None".
FName NameFromText(const char* text);
// Same length and equal ignoring case by the game's "FGenericPlatformStricmp.Stricmp".
bool EqualsIgnoringCase(const FString& a, const FString& b);

// A copy of "ULevel.Actors" of the world's persistent level (entries may be null).
TArray<AActor*> LevelActorsSnapshot(UWorld* world);
// Every actor of `cls` in the world, by "UGameplayStatics.GetAllActorsOfClass".
TArray<AActor*> ActorsOfClass(UWorld* world, UClass* cls);

}  // namespace orvane::host
