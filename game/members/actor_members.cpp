// Actors, their components, dinos and structures.
#include <algorithm>
#include <string>

#include "framework/host/address_table.h"
#include "game/members/journal_call.h"
#include "game/members/members.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "sdk/game_members.h"

namespace game::members {
namespace {

ActorBase* ActorOf(const void* actor) { return static_cast<ActorBase*>(FromSdk(actor)); }
Dino* DinoOf(const void* dino) { return static_cast<Dino*>(FromSdk(dino)); }

void ForceDestroy(AActor* actor) {
  JournalCall(sym::AActor::ForceDestroy, actor);
  W().DestroyActor(ActorOf(actor));
}

bool Destroy(AActor* actor, bool net_force, bool should_modify_level) {
  JournalCall(sym::AActor::Destroy, actor, net_force, should_modify_level);
  W().DestroyActor(ActorOf(actor));
  return true;
}

// A killed character is dead and stays in the world.
void Suicide(APrimalCharacter* character) {
  JournalCall(sym::APrimalCharacter::Suicide, character);
  auto* target = static_cast<CharacterBase*>(FromSdk(character));
  target->dead = true;
  target->status().current_status_values[0] = 0.0F;
}

bool IsDead(APrimalCharacter* character) {
  return static_cast<CharacterBase*>(FromSdk(character))->dead;
}

bool TeleportTo(APrimalCharacter* character, FVector& to, FRotator& rotation, bool is_a_test,
                bool no_check) {
  JournalCall(sym::APrimalCharacter::TeleportTo, character, to, rotation, is_a_test, no_check);
  W().MoveActor(ActorOf(character), to);
  return true;
}

void AddStatusExperience(UPrimalCharacterStatusComponent* status, float amount, bool share,
                         EXPType::Type type) {
  JournalCall(sym::UPrimalCharacterStatusComponent::AddExperience, status, amount, share, type);
  ObjectBase* owner = static_cast<StatusComponent*>(FromSdk(status))->owner;
  if (owner->kind == ObjectKind::kDino) {
    static_cast<Dino*>(owner)->Facts().experience += amount;
  } else if (Player* player = static_cast<ActorBase*>(owner)->player) {
    player->description.experience += amount;
  }
}

void ForceUpdateColorSets(APrimalDinoCharacter* dino, int32_t region, int32_t colour) {
  JournalCall(sym::APrimalDinoCharacter::ForceUpdateColorSets, dino, region, colour);
  auto& colours = DinoOf(dino)->Facts().colours;
  auto at = std::lower_bound(colours.begin(), colours.end(), std::pair{region, INT32_MIN});
  if (at != colours.end() && at->first == region) {
    at->second = colour;
  } else {
    colours.insert(at, {region, colour});
  }
}

void UpdateImprintingDetails(APrimalDinoCharacter* dino, FString& name, FString& player_id) {
  JournalCall(sym::APrimalDinoCharacter::UpdateImprintingDetails, dino, name, player_id);
  DinoOf(dino)->Facts().imprinter = Imprinter{ToUtf8(name), ToUtf8(player_id)};
}

void UpdateImprintingQuality(APrimalDinoCharacter* dino, float quality) {
  JournalCall(sym::APrimalDinoCharacter::UpdateImprintingQuality, dino, quality);
  DinoOf(dino)->Facts().imprint_quality = quality;
}

bool DestroyDino(APrimalDinoCharacter* dino, bool net_force, bool should_modify_level) {
  JournalCall(sym::APrimalDinoCharacter::Destroy, dino, net_force, should_modify_level);
  W().DestroyActor(DinoOf(dino));
  return true;
}

// The dino joins the controller's team; a player without a tribe tames for their own id, as
// tribeless players do. A tribe's log records the taming.
void TameDino(APrimalDinoCharacter* dino, AShooterPlayerController* controller, bool ignore_max,
              int32_t override_team, bool prevent_name_dialog, bool skip_add_to_tribe, bool force) {
  JournalCall(sym::APrimalDinoCharacter::TameDino, dino, controller, ignore_max, override_team,
              prevent_name_dialog, skip_add_to_tribe, force);
  Dino* target = DinoOf(dino);
  auto* tamer = As<Controller>(controller);
  if (tamer == nullptr) return;
  const int32_t team = tamer->targeting_team != 0
                           ? tamer->targeting_team
                           : static_cast<int32_t>(tamer->linked_player_id & 0x7FFFFFFF);
  target->targeting_team = team;
  target->taming_team_id = team;
  if (tamer->player == nullptr) return;
  const std::string& tamer_name = tamer->player->description.character_name;
  if (target->tamer_string.IsEmpty()) target->tamer_string = ToFString(tamer_name);
  W().AddTribeLogEntry(
      team, ToUtf16(tamer_name) + u" tamed a " + W().DinoDisplayName(*target, true, true) + u"!");
}

void BeginPlay(APrimalDinoCharacter* dino) {
  JournalCall(sym::APrimalDinoCharacter::BeginPlay, dino);
  DinoOf(dino)->playing = true;
}

APrimalDinoCharacter* FindDinoWithID(::UWorld* world, uint32_t id1, uint32_t id2) {
  if (world == nullptr) return nullptr;
  return ToSdk<APrimalDinoCharacter>(W().FindDino(id1, id2));
}

// The name, then " - Lvl <level>", then " (<species>)".
FString* GetDinoDescriptiveName(APrimalDinoCharacter* dino, FString* result, bool with_level,
                                bool with_species) {
  *result =
      FString(std::u16string_view(W().DinoDisplayName(*DinoOf(dino), with_level, with_species)));
  return result;
}

void DoNeuter(APrimalDinoCharacter* dino) {
  JournalCall(sym::APrimalDinoCharacter::DoNeuter_Implementation, dino);
  DinoOf(dino)->neutered = true;
}

}  // namespace

void RegisterActorFunctions() {
  framework::Register(sym::AActor::ForceDestroy, &ForceDestroy);
  framework::Register(sym::AActor::Destroy, &Destroy);
  framework::Register(sym::APrimalCharacter::Suicide, &Suicide);
  framework::Register(sym::APrimalCharacter::IsDead, &IsDead);
  framework::Register(sym::APrimalCharacter::TeleportTo, &TeleportTo);
  framework::Register(sym::UPrimalCharacterStatusComponent::AddExperience, &AddStatusExperience);
  framework::Register(sym::APrimalDinoCharacter::ForceUpdateColorSets, &ForceUpdateColorSets);
  framework::Register(sym::APrimalDinoCharacter::UpdateImprintingDetails, &UpdateImprintingDetails);
  framework::Register(sym::APrimalDinoCharacter::UpdateImprintingQuality, &UpdateImprintingQuality);
  framework::Register(sym::APrimalDinoCharacter::Destroy, &DestroyDino);
  framework::Register(sym::APrimalDinoCharacter::TameDino, &TameDino);
  framework::Register(sym::APrimalDinoCharacter::BeginPlay, &BeginPlay);
  framework::Register(sym::APrimalDinoCharacter::FindDinoWithID, &FindDinoWithID);
  framework::Register(sym::APrimalDinoCharacter::GetDinoDescriptiveName, &GetDinoDescriptiveName);
  framework::Register(sym::APrimalDinoCharacter::DoNeuter_Implementation, &DoNeuter);
}

}  // namespace game::members
