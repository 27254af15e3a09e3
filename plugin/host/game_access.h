// GameAccess: the plugin's only way into the game. Every field and function is named by its
// symbolic name (sdk/game_members.h) and resolved through the framework at each use; nothing
// is cached. Thread: the game thread.
#pragma once

#include <string_view>
#include <type_traits>
#include <utility>

#include <sdk/address.h>
#include <sdk/game_members.h>

namespace orvane::host {

// Thrown when a member is reached on a null object or its name does not resolve: the game
// would fault there. Deliberately not a std::exception, so no handler's guarded stretch answers
// it; the framework's dispatch logs it and the request ends without a reply.
struct UnresolvedAccess {
  std::string_view name;
};

// The field `member` of `object`.
template <class Owner, class T, class Object>
requires std::is_base_of_v<Owner, Object> T& Field(Object* object, sym::Field<Owner, T> member) {
  void* address = GetAddress(static_cast<const Owner*>(object), member.name);
  if (address == nullptr) throw UnresolvedAccess{member.name};
  return *static_cast<T*>(address);
}

// Calls the game function `member` with `args` (the object first for a member function).
template <class R, class... Params, class... Args>
R Call(sym::Function<R(Params...)> member, Args&&... args) {
  auto function = sym::Resolve(member);
  if (function == nullptr) throw UnresolvedAccess{member.name};
  return function(std::forward<Args>(args)...);
}

// The class of an object ("UObjectBase.ClassPrivate"); null for a null object. Inline, with
// IsA: walks over whole levels run them once per actor.
inline UClass* ClassOf(const UObjectBase* object) {
  if (object == nullptr) return nullptr;
  return Field(object, sym::UObjectBase::ClassPrivate);
}
// Whether `object`'s class is `cls` or derives from it ("UStruct.IsChildOf").
inline bool IsA(const UObjectBase* object, UClass* cls) {
  UClass* own = ClassOf(object);
  return own != nullptr && Call(sym::UStruct::IsChildOf, own, cls);
}

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

// "ULevel.Actors" of the world's persistent level (entries may be null).
const TArray<AActor*>& LevelActors(UWorld* world);
// Every actor of `cls` in the world, by "UGameplayStatics.GetAllActorsOfClass".
TArray<AActor*> ActorsOfClass(UWorld* world, UClass* cls);

}  // namespace orvane::host
