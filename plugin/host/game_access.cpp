#include "host/game_access.h"

namespace orvane::host {

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

const TArray<AActor*>& LevelActors(UWorld* world) {
  ULevel* level = Field(world, sym::UWorld::PersistentLevel);
  return Field(level, sym::ULevel::Actors);
}

TArray<AActor*> ActorsOfClass(UWorld* world, UClass* cls) {
  TArray<AActor*> actors;
  Call(sym::UGameplayStatics::GetAllActorsOfClass, world, TSubclassOf<AActor>{cls}, actors);
  return actors;
}

}  // namespace orvane::host
