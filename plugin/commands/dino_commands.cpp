// Dino commands: one dino, addressed by its two ids, is inspected, moved, recoloured, given
// experience, imprinted or destroyed. Every argument is read before the dino is looked up.
#include "commands/command_groups.h"
#include "core/format.h"
#include "core/request.h"
#include "host/game_access.h"
#include "queries/blueprint_names.h"
#include "queries/entity_lookup.h"
#include "queries/positions.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

constexpr int32_t kReplyTypeValue = 0;  // the packet type of the blueprint and position replies
constexpr const char* kListTip =
    "\nTips: You can use 'ListTribeDinos' to get dino ids from a tribe!";

enum class DeadDinos { kFound, kNotFound };

// The shared course of every dino command: at least `words` words (else the usage text), the
// two id words (as stoi, taken as the same 32 bits unsigned) and then `read_more` in the guarded
// stretch, then the dino by its ids. Gives null when it has replied instead.
template <class ReadMore>
APrimalDinoCharacter* ReadArgsAndFindDino(Request& request, int32_t words, const FString& usage,
                                          ReadMore read_more, DeadDinos dead = DeadDinos::kFound) {
  if (!request.Require(words, usage)) return nullptr;
  uint32_t id1 = 0, id2 = 0;
  if (!request.Guarded([&] {
        id1 = static_cast<uint32_t>(request.Args().Stoi(1));
        id2 = static_cast<uint32_t>(request.Args().Stoi(2));
        read_more();
      }))
    return nullptr;
  APrimalDinoCharacter* dino = FindDinoById(id1, id2);
  if (dino != nullptr && dead == DeadDinos::kNotFound && Call(sym::APrimalCharacter::IsDead, dino))
    dino = nullptr;
  if (dino == nullptr) request.Reply("Can't find dino");
  return dino;
}

APrimalDinoCharacter* ReadIdsAndFindDino(Request& request, int32_t words, const FString& usage) {
  return ReadArgsAndFindDino(request, words, usage, [] {});
}

FString WithListTip(const char16_t* usage) { return FString(usage) + FString(kListTip); }

void GiveDinoXP(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  float amount = 0;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(
      request, 4, WithListTip(u"Not enough arguments: GiveDinoXP <DinoID1> <DinoID2> <Amount>"),
      [&] { amount = request.Args().Stof(3); });
  if (dino == nullptr) return;
  UPrimalCharacterStatusComponent* status =
      Field(dino, sym::APrimalCharacter::MyCharacterStatusComponent);
  Call(sym::UPrimalCharacterStatusComponent::AddExperience, status, amount, false,
       EXPType::XP_GENERIC);
  request.Reply("Successfully added experience to dino");
}

void SetDinoColor(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  int32_t region = 0, color = 0;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(
      request, 5,
      WithListTip(u"Not enough arguments: SetDinoColor <DinoID1> <DinoID2> <Region> <Color>"),
      [&] {
        region = request.Args().Stoi(3);
        color = request.Args().Stoi(4);
      },
      DeadDinos::kNotFound);
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::ForceUpdateColorSets, dino, region, color);
  request.Reply("Successfully executed");
}

void GetDinoBP(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  APrimalDinoCharacter* dino = ReadIdsAndFindDino(
      request, 3, WithListTip(u"Not enough arguments: GetDinoBP <DinoID1> <DinoID2> "));
  if (dino == nullptr) return;
  request.ReplyWithType(kReplyTypeValue, ClassBlueprintPath(host::ClassOf(dino)));
}

void GetDinoPos(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  APrimalDinoCharacter* dino = ReadIdsAndFindDino(
      request, 3, WithListTip(u"Not enough arguments: GetDinoPos <DinoID1> <DinoID2> "));
  if (dino == nullptr) return;
  request.ReplyWithType(kReplyTypeValue, PositionText(RelativePositionOf(dino)));
}

void KillDino(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  APrimalDinoCharacter* dino =
      ReadIdsAndFindDino(request, 3, "Not enough arguments: KillDino <DinoID1> <DinoID2>");
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::Destroy, dino, true, false);  // its result does not matter
  request.Reply("Killed dino");
}

void SetDinoPos(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  float x = 0, y = 0, z = 0;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(
      request, 6, "Not enough arguments: SetDinoPos <DinoID1> <DinoID2> <X> <Y> <Z>", [&] {
        x = request.Args().Stof(3);
        y = request.Args().Stof(4);
        z = request.Args().Stof(5);
      });
  if (dino == nullptr) return;
  FVector destination{x, y, z};
  FRotator rotation{0, 0, 0};
  Call(sym::APrimalCharacter::TeleportTo, dino, destination, rotation, true, false);
  request.Reply("Successfully teleported dino");
}

void SetImprintQuality(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  float percent = 0;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(
      request, 4, "Not enough arguments: SetImprintQuality <DinoID1> <DinoID2> <Quality>",
      [&] { percent = request.Args().Stof(3); });
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::UpdateImprintingQuality, dino, percent / 100.0f);
  request.Reply("Successfully changed Imprint Quality on dino");
}

void SetImprintToPlayer(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  FString eos_id;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(
      request, 4, "Not enough arguments: SetImprintToPlayer <DinoID1> <DinoID2> <EOS-ID>",
      [&] { eos_id = request.Args().Text(3); });
  if (dino == nullptr) return;
  AShooterPlayerController* player = FindPlayerByEosId(eos_id);
  if (player == nullptr) return request.Reply("Can't find player from the given eos id");
  FString name, id_text;
  Call(sym::AShooterPlayerController::GetPlayerCharacterName, player, &name);
  Call(sym::AShooterPlayerController::LinkedPlayerIDString, player, &id_text);
  Call(sym::APrimalDinoCharacter::UpdateImprintingDetails, dino, name, id_text);
  request.Reply("Successfully changed Imprint on dino");
}

constexpr CommandEntry kCommands[] = {
    {"GiveDinoXP", &GiveDinoXP},
    {"SetDinoColor", &SetDinoColor},
    {"GetDinoBP", &GetDinoBP},
    {"GetDinoPos", &GetDinoPos},
    {"KillDino", &KillDino},
    {"SetDinoPos", &SetDinoPos},
    {"SetImprintQuality", &SetImprintQuality},
    {"SetImprintToPlayer", &SetImprintToPlayer},
};

}  // namespace

std::span<const CommandEntry> DinoCommands() { return kCommands; }

}  // namespace orvane
