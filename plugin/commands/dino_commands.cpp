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

// The two id words (1 and 2) read as stoi and taken as the same 32 bits unsigned.
struct DinoIds {
  uint32_t id1 = 0;
  uint32_t id2 = 0;
};
DinoIds ReadDinoIds(Request& request) {
  return {static_cast<uint32_t>(request.Args().Stoi(1)),
          static_cast<uint32_t>(request.Args().Stoi(2))};
}

// Finds the dino or replies "Can't find dino" and gives null.
APrimalDinoCharacter* FindDinoOrReply(Request& request, DinoIds ids) {
  APrimalDinoCharacter* dino = FindDinoById(ids.id1, ids.id2);
  if (dino == nullptr) request.Reply("Can't find dino");
  return dino;
}

void GiveDinoXP(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  if (!request.Require(4,
                       "Not enough arguments: GiveDinoXP <DinoID1> <DinoID2> <Amount>\n"
                       "Tips: You can use 'ListTribeDinos' to get dino ids from a tribe!"))
    return;
  DinoIds ids;
  float amount = 0;
  if (!request.Guarded([&] {
        ids = ReadDinoIds(request);
        amount = request.Args().Stof(3);
      }))
    return;
  APrimalDinoCharacter* dino = FindDinoOrReply(request, ids);
  if (dino == nullptr) return;
  UPrimalCharacterStatusComponent* status =
      Field(dino, sym::APrimalCharacter::MyCharacterStatusComponent);
  Call(sym::UPrimalCharacterStatusComponent::AddExperience, status, amount, false,
       EXPType::XP_GENERIC);
  request.Reply("Successfully added experience to dino");
}

void SetDinoColor(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  if (!request.Require(5,
                       "Not enough arguments: SetDinoColor <DinoID1> <DinoID2> <Region> "
                       "<Color>\nTips: You can use 'ListTribeDinos' to get dino ids from a "
                       "tribe!"))
    return;
  DinoIds ids;
  int32_t region = 0, color = 0;
  if (!request.Guarded([&] {
        ids = ReadDinoIds(request);
        region = request.Args().Stoi(3);
        color = request.Args().Stoi(4);
      }))
    return;
  APrimalDinoCharacter* dino = FindDinoById(ids.id1, ids.id2);
  if (dino == nullptr || Call(sym::APrimalCharacter::IsDead, dino))
    return request.Reply("Can't find dino");
  Call(sym::APrimalDinoCharacter::ForceUpdateColorSets, dino, region, color);
  request.Reply("Successfully executed");
}

// GetDinoBP and GetDinoPos: read the ids, find the dino, send `describe(dino)` as type 0.
template <class Describe>
void DescribeDino(RCONClientConnection* c, RCONPacket* p, const char* usage, Describe describe) {
  Request request(c, p);
  if (!request.Require(3, usage)) return;
  DinoIds ids;
  if (!request.Guarded([&] { ids = ReadDinoIds(request); })) return;
  APrimalDinoCharacter* dino = FindDinoOrReply(request, ids);
  if (dino == nullptr) return;
  request.ReplyWithType(kReplyTypeValue, describe(dino));
}

void GetDinoBP(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  DescribeDino(c, p,
               "Not enough arguments: GetDinoBP <DinoID1> <DinoID2> \nTips: You can use "
               "'ListTribeDinos' to get dino ids from a tribe!",
               [](APrimalDinoCharacter* dino) { return ClassBlueprintPath(host::ClassOf(dino)); });
}

void GetDinoPos(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  DescribeDino(c, p,
               "Not enough arguments: GetDinoPos <DinoID1> <DinoID2> \nTips: You can use "
               "'ListTribeDinos' to get dino ids from a tribe!",
               [](APrimalDinoCharacter* dino) { return PositionText(RelativePositionOf(dino)); });
}

void KillDino(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  if (!request.Require(3, "Not enough arguments: KillDino <DinoID1> <DinoID2>")) return;
  DinoIds ids;
  if (!request.Guarded([&] { ids = ReadDinoIds(request); })) return;
  APrimalDinoCharacter* dino = FindDinoOrReply(request, ids);
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::Destroy, dino, true, false);
  request.Reply("Killed dino");
}

void SetDinoPos(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  if (!request.Require(6, "Not enough arguments: SetDinoPos <DinoID1> <DinoID2> <X> <Y> <Z>"))
    return;
  DinoIds ids;
  float x = 0, y = 0, z = 0;
  if (!request.Guarded([&] {
        ids = ReadDinoIds(request);
        x = request.Args().Stof(3);
        y = request.Args().Stof(4);
        z = request.Args().Stof(5);
      }))
    return;
  APrimalDinoCharacter* dino = FindDinoOrReply(request, ids);
  if (dino == nullptr) return;
  FVector destination{x, y, z};
  FRotator rotation{0, 0, 0};
  Call(sym::APrimalCharacter::TeleportTo, dino, destination, rotation, true, false);
  request.Reply("Successfully teleported dino");
}

void SetImprintQuality(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  if (!request.Require(4, "Not enough arguments: SetImprintQuality <DinoID1> <DinoID2> <Quality>"))
    return;
  DinoIds ids;
  float percent = 0;
  if (!request.Guarded([&] {
        ids = ReadDinoIds(request);
        percent = request.Args().Stof(3);
      }))
    return;
  APrimalDinoCharacter* dino = FindDinoOrReply(request, ids);
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::UpdateImprintingQuality, dino, percent / 100.0f);
  request.Reply("Successfully changed Imprint Quality on dino");
}

void SetImprintToPlayer(RCONClientConnection* c, RCONPacket* p, UWorld*) {
  Request request(c, p);
  if (!request.Require(4, "Not enough arguments: SetImprintToPlayer <DinoID1> <DinoID2> <EOS-ID>"))
    return;
  DinoIds ids;
  FString eos_id;
  if (!request.Guarded([&] {
        ids = ReadDinoIds(request);
        eos_id = request.Args().Text(3);
      }))
    return;
  APrimalDinoCharacter* dino = FindDinoOrReply(request, ids);
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
