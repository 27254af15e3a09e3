#include "queries/entity_lookup.h"

#include <sdk/api.h>

#include "host/game_access.h"

namespace orvane {

using host::Call;
using host::Field;

AShooterPlayerController* FindPlayerByEosId(const FString& eos_id) {
  FString copy(eos_id.Len(), *eos_id);
  return HostApi::GetApiUtils().FindPlayerByEosId(copy);
}

APrimalDinoCharacter* FindDinoById(uint32_t id1, uint32_t id2) {
  UWorld* world = HostApi::GetApiUtils().CurrentWorld();
  return Call(sym::APrimalDinoCharacter::FindDinoWithID, world, id1, id2);
}

bool ForEachOnlinePlayer(StaleRule rule,
                         const std::function<void(AShooterPlayerController*)>& body) {
  UWorld* world = HostApi::GetApiUtils().CurrentWorld();
  const auto& list = Field(world, sym::UWorld::PlayerControllerList);
  const auto* first = list.begin();
  const auto* last = list.end();
  for (const auto* entry = first; entry != last; ++entry) {
    auto* controller = static_cast<AShooterPlayerController*>(host::Resolve(*entry));
    if (controller == nullptr) {
      if (rule == StaleRule::kEnd) return true;
      continue;
    }
    body(controller);
  }
  return false;
}

void ForEachLevelActor(const std::function<void(AActor*)>& body) {
  const TArray<AActor*> snapshot = host::LevelActors(HostApi::GetApiUtils().CurrentWorld());
  ForEachListedActor(snapshot, body);
}

void ReadEachLevelActor(const std::function<void(AActor*)>& body) {
  ForEachListedActor(host::LevelActors(HostApi::GetApiUtils().CurrentWorld()), body);
}

TArray<AActor*> GetActorsOfClass(UClass* cls) {
  return host::ActorsOfClass(HostApi::GetApiUtils().CurrentWorld(), cls);
}

uint64_t TribeIdOfPlayer(AShooterPlayerController* controller) {
  const int32_t team = TeamOf(controller);
  if (team != 0) return static_cast<uint64_t>(static_cast<int64_t>(team));
  return Field(controller, sym::AShooterPlayerController::LinkedPlayerID);
}

AShooterCharacter* LivingCharacterOf(AShooterPlayerController* controller) {
  AShooterCharacter* character =
      Call(sym::AShooterPlayerController::GetPlayerCharacter, controller);
  if (character == nullptr || Call(sym::APrimalCharacter::IsDead, character)) return nullptr;
  return character;
}

}  // namespace orvane
