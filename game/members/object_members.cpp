// Names, weak references, classes and paths.
#include "framework/host/address_table.h"
#include "game/members/members.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "sdk/game_members.h"

namespace game::members {
namespace {

void NameToString(const ::FName* name, FString& out) {
  out = FString(std::u16string_view(W().names().ToString(*name)));
}

// Each byte of the narrow text is one character, as the game reads it.
void ConstructName(::FName* name, const char* text, EFindName mode) {
  std::u16string wide;
  for (const char* c = text; *c != 0; ++c) wide.push_back(static_cast<unsigned char>(*c));
  *name = mode == FNAME_Find ? W().names().Find(wide) : W().names().Add(wide);
}

UObject* ResolveWeak(const ::FWeakObjectPtr* weak, bool /*even_if_pending_kill*/) {
  return ToSdk<UObject>(W().Resolve(*weak));
}

// The stop-outer is always null in the plugin's calls: the whole path is written.
void GetPathName(const UObjectBaseUtility* self, UObject* /*stop_outer*/, FString& out) {
  out = self == nullptr ? FString() : FString(std::u16string_view(W().PathNameOf(FromSdk(self))));
}

bool IsChildOf(::UStruct* self, ::UStruct* other) {
  if (self == nullptr || other == nullptr) return false;
  const auto* target = static_cast<const StructObject*>(FromSdk(other));
  for (auto* s = static_cast<const StructObject*>(FromSdk(self)); s != nullptr; s = s->super_struct)
    if (s == target) return true;
  return false;
}

UObject* GetClassDefaultObject(::UClass* cls) {
  if (cls == nullptr) return nullptr;
  return ToSdk<UObject>(static_cast<ClassObject*>(FromSdk(cls))->default_object);
}

UScriptStruct* TribeDataStruct() { return ToSdk<UScriptStruct>(W().tribe_struct()); }

UClass* ActorClass() { return ToSdk<UClass>(W().NativeClass(Native::kActor)); }
UClass* PawnClass() { return ToSdk<UClass>(W().NativeClass(Native::kPawn)); }
UClass* DinoClass() { return ToSdk<UClass>(W().NativeClass(Native::kDino)); }
UClass* StructureClass() { return ToSdk<UClass>(W().NativeClass(Native::kStructure)); }
// The class of players' characters (each player's own class derives from it).
UClass* PlayerCharacterClass() { return ToSdk<UClass>(W().NativeClass(Native::kShooterCharacter)); }

}  // namespace

void RegisterObjectFunctions() {
  framework::Register(sym::FName::ToString, &NameToString);
  framework::Register(sym::FName::Construct, &ConstructName);
  framework::Register(sym::FGenericPlatformStricmp::Stricmp, &FGenericPlatformStricmp::Stricmp);
  framework::Register(sym::FWeakObjectPtr::Get, &ResolveWeak);
  framework::Register(sym::UObjectBaseUtility::GetPathName, &GetPathName);
  framework::Register(sym::UStruct::IsChildOf, &IsChildOf);
  framework::Register(sym::UVictoryCore::GetClassDefaultObject, &GetClassDefaultObject);
  framework::Register(sym::FTribeData::StaticStruct, &TribeDataStruct);
  framework::Register(sym::AActor::StaticClass, &ActorClass);
  framework::Register(sym::APawn::GetPrivateStaticClass, &PawnClass);
  framework::Register(sym::APrimalDinoCharacter::GetPrivateStaticClass, &DinoClass);
  framework::Register(sym::APrimalStructure::GetPrivateStaticClass, &StructureClass);
  framework::Register(sym::AShooterCharacter::GetPrivateStaticClass, &PlayerCharacterClass);
}

}  // namespace game::members
