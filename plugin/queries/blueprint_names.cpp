#include "queries/blueprint_names.h"

#include "core/format.h"
#include "host/game_access.h"

namespace orvane {

using host::Call;
using host::Field;

FString ActorClassName(const AActor* actor) {
  return host::NameText(Field(host::ClassOf(actor), sym::UObjectBase::NamePrivate));
}

FString ClassBlueprintPath(UClass* cls) {
  if (cls == nullptr) return FString();
  UObject* default_object = Call(sym::UVictoryCore::GetClassDefaultObject, cls);
  FString path;
  Call(sym::UObjectBaseUtility::GetPathName, default_object, nullptr, path);
  if (path.Len() >= 2 &&
      Call(sym::FGenericPlatformStricmp::Stricmp, *path + path.Len() - 2, u"_C") == 0) {
    path = path.LeftChop(2);
  }
  return Format(u"Blueprint'{}'", path);
}

FString ActorBlueprintPath(const UObjectBase* object) {
  UClass* cls = host::ClassOf(object);
  if (cls == nullptr) return FString();
  return ClassBlueprintPath(cls).Replace(u"Default__", u"", ESearchCase::CaseSensitive);
}

bool StructureMatchesBlueprint(const APrimalStructure* structure, const FString& text) {
  if (structure == nullptr) return false;
  const FString consumed =
      ClassBlueprintPath(Field(structure, sym::APrimalStructure::ConsumesPrimalItem));
  const FString pickup =
      ClassBlueprintPath(Field(structure, sym::APrimalStructure::PickupGivesItem));
  const FString own = ActorBlueprintPath(structure);
  for (const FString* path : {&consumed, &pickup, &own})
    if (text.Equals(*path, ESearchCase::CaseSensitive)) return true;
  return false;
}

FString ActorMatchBlueprint(const AActor* actor) {
  if (host::IsA(actor, host::StructureClass())) {
    const auto* structure = static_cast<const APrimalStructure*>(actor);
    FString consumed =
        ClassBlueprintPath(Field(structure, sym::APrimalStructure::ConsumesPrimalItem));
    if (!consumed.IsEmpty()) return consumed;
    return ClassBlueprintPath(Field(structure, sym::APrimalStructure::PickupGivesItem));
  }
  if (host::IsA(actor, host::DinoClass())) return ActorBlueprintPath(actor);
  return FString();
}

bool ActorNameMatches(const AActor* actor, const FString& text) {
  return host::EqualsIgnoringCase(text, ActorClassName(actor)) ||
         host::EqualsIgnoringCase(text, ActorMatchBlueprint(actor));
}

}  // namespace orvane
