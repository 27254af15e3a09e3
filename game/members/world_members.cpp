// The world, its level and the world queries; game mode and game state.
#include <cmath>

#include "framework/host/address_table.h"
#include "game/members/journal_call.h"
#include "game/members/members.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "sdk/game_members.h"

namespace game::members {
namespace {

AWorldSettings* GetWorldSettings(::UWorld* /*world*/, bool /*check_streaming*/, bool /*checked*/) {
  return ToSdk<AWorldSettings>(W().world_settings());
}

FString* GetMapName(::UWorld* /*world*/, FString* result) {
  *result = FString(std::u16string_view(W().map_name()));
  return result;
}

// Every live actor of the class or a class derived from it, in level order.
void GetAllActorsOfClass(UObject* context, TSubclassOf<AActor> cls, TArray<AActor*>& out) {
  out.Reset();
  if (context == nullptr || cls.Class == nullptr) return;
  const auto* wanted = static_cast<const ClassObject*>(FromSdk(cls.Class));
  W().ForEachLevelActorOf(wanted, [&](ActorBase* actor) { out.Add(ToSdk<AActor>(actor)); });
}

// The actors other than controllers whose location lies within the radius (distance not above
// it), in level order, that pass the class filter and are not to be ignored. The object-type
// list is not looked at.
bool SphereOverlapActors(UObject* context, FVector centre, float radius,
                         TArray<TEnumAsByte<EObjectTypeQuery>>& /*object_types*/, ::UClass* filter,
                         TArray<AActor*>& ignore, TArray<AActor*>& out) {
  out.Reset();
  if (context == nullptr) return false;
  const auto* wanted =
      filter == nullptr ? nullptr : static_cast<const ClassObject*>(FromSdk(filter));
  W().ForEachLevelActorOf(wanted, [&](ActorBase* actor) {
    if (actor->kind == ObjectKind::kController || actor->root_component == nullptr) return;
    for (AActor* ignored : ignore)
      if (FromSdk(ignored) == actor) return;
    const FVector& at = actor->root_component->component_to_world.Translation;
    const double dx = at.X - centre.X;
    const double dy = at.Y - centre.Y;
    const double dz = at.Z - centre.Z;
    if (std::sqrt(dx * dx + dy * dy + dz * dz) <= radius) out.Add(ToSdk<AActor>(actor));
  });
  return out.Num() > 0;
}

// Fills a record that the caller allocated zeroed (a zeroed FString or TArray is an empty one).
// The record's name and log then hold host memory that whoever frees the record must release.
bool GetOrLoadTribeData(AShooterGameMode* /*game_mode*/, int32_t tribe_id, FTribeData& data) {
  World& world = W();
  if (!world.tribe_data_struct()) return false;
  const TribeDescription* tribe = world.FindTribe(tribe_id);
  if (tribe == nullptr || !tribe->loadable) return false;
  auto& record = reinterpret_cast<TribeRecord&>(data);
  record.tribe_name = ToFString(tribe->name);
  record.tribe_id = tribe->id;
  record.tribe_log.Reset();
  for (const std::string& line : tribe->log) record.tribe_log.Add(ToFString(line));
  return true;
}

// Kicking destroys the controller as a disconnection does; the character stays.
bool KickPlayerController(AShooterGameMode* game_mode, APlayerController* controller,
                          FString& message) {
  JournalCall(sym::AShooterGameMode::KickPlayerController, game_mode, controller, message);
  auto* target = As<Controller>(controller);
  if (target == nullptr || W().IsDestroyed(*target) || target->player == nullptr) return false;
  target->player->description.kick_message = ToUtf8(message);
  W().DestroyActor(target);
  return true;
}

FString* GetDayTimeString(AShooterGameState* state, FString* result) {
  *result = static_cast<GameState*>(FromSdk(state))->day_time;
  return result;
}

}  // namespace

void RegisterWorldFunctions() {
  framework::Register(sym::UWorld::GetWorldSettings, &GetWorldSettings);
  framework::Register(sym::UWorld::GetMapName, &GetMapName);
  framework::Register(sym::UGameplayStatics::GetAllActorsOfClass, &GetAllActorsOfClass);
  framework::Register(sym::UKismetSystemLibrary::SphereOverlapActors, &SphereOverlapActors);
  framework::Register(sym::AShooterGameMode::GetOrLoadTribeData, &GetOrLoadTribeData);
  framework::Register(sym::AShooterGameMode::KickPlayerController, &KickPlayerController);
  framework::Register(sym::AShooterGameState::GetDayTimeString, &GetDayTimeString);
}

}  // namespace game::members
