#include "host/game_access.h"

namespace orvane::host {

UClass* ClassOf(const UObjectBase* object) {
  if (object == nullptr) return nullptr;
  return Field(object, sym::UObjectBase::ClassPrivate);
}

bool IsA(const UObjectBase* object, UClass* cls) {
  UClass* own = ClassOf(object);
  if (own == nullptr) return false;
  // The game's boolean is one byte wide; only that byte counts.
  const bool result = Call(sym::UStruct::IsChildOf, own, cls);
  return (static_cast<unsigned char>(result) & 0xFF) != 0;
}

UClass* DinoClass() { return Call(sym::APrimalDinoCharacter::GetPrivateStaticClass); }
UClass* StructureClass() { return Call(sym::APrimalStructure::GetPrivateStaticClass); }
UClass* PawnClass() { return Call(sym::APawn::GetPrivateStaticClass); }

UObject* Resolve(const FWeakObjectPtr& weak) {
  FWeakObjectPtr copy = weak;
  return Call(sym::FWeakObjectPtr::Get, &copy, false);
}

FString NameText(const FName& name) {
  FString text;
  Call(sym::FName::ToString, &name, text);
  return text;
}

FName NameFromText(const char* text) {
  FName name;
  Call(sym::FName::Construct, &name, text, FNAME_Find);
  return name;
}

bool EqualsIgnoringCase(const FString& a, const FString& b) {
  return a.Len() == b.Len() && Call(sym::FGenericPlatformStricmp::Stricmp, *a, *b) == 0;
}

TArray<AActor*> LevelActorsSnapshot(UWorld* world) {
  ULevel* level = Field(world, sym::UWorld::PersistentLevel);
  return Field(level, sym::ULevel::Actors);
}

TArray<AActor*> ActorsOfClass(UWorld* world, UClass* cls) {
  TArray<AActor*> actors;
  Call(sym::UGameplayStatics::GetAllActorsOfClass, world, TSubclassOf<AActor>{cls}, actors);
  return actors;
}

}  // namespace orvane::host
