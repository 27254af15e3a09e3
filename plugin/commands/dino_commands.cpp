// Dino commands: one dino, addressed by its two ids, is inspected, moved, recoloured, given
// experience, imprinted or destroyed. Every argument is read before the dino is looked up.
#include <string>
#include <string_view>

#include "commands/command_groups.h"
#include "core/format.h"
#include "host/game_access.h"
#include "queries/blueprint_names.h"
#include "queries/entity_lookup.h"
#include "queries/lookup_replies.h"
#include "queries/player_details.h"
#include "queries/positions.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

constexpr int32_t kReplyTypeValue = 0;  // the packet type of the blueprint and position replies
constexpr std::u16string_view kListTip =
    u"\nTips: You can use 'ListTribeDinos' to get dino ids from a tribe!";

enum class DeadDinos { kFound, kNotFound };

// The shared course of every dino command: the words `arguments` asks for (else its usage
// text), the two id words (as stoi, taken as the same 32 bits unsigned) and then
// `read_more` in the guarded stretch, then the dino by its ids. Gives null when it has replied
// instead.
template <class ReadMore>
APrimalDinoCharacter* ReadArgsAndFindDino(Request& request, std::u16string_view arguments,
                                          ReadMore read_more, DeadDinos dead = DeadDinos::kFound) {
  if (!request.Require(arguments)) return nullptr;
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
  if (dino == nullptr) request.Reply(kDinoNotFound);
  return dino;
}

APrimalDinoCharacter* ReadIdsAndFindDino(Request& request, std::u16string_view arguments) {
  return ReadArgsAndFindDino(request, arguments, [] {});
}

// The usage arguments followed by the tip that tells where dino ids come from.
std::u16string WithListTip(std::u16string_view arguments) {
  return std::u16string(arguments).append(kListTip);
}

void GiveDinoXP(Request& request) {
  float amount = 0;
  APrimalDinoCharacter* dino =
      ReadArgsAndFindDino(request, WithListTip(u"<DinoID1> <DinoID2> <Amount>"),
                          [&] { amount = request.Args().Stof(3); });
  if (dino == nullptr) return;
  UPrimalCharacterStatusComponent* status =
      Field(dino, sym::APrimalCharacter::MyCharacterStatusComponent);
  Call(sym::UPrimalCharacterStatusComponent::AddExperience, status, amount, false,
       EXPType::XP_GENERIC);
  request.Reply("Successfully added experience to dino");
}

void SetDinoColor(Request& request) {
  int32_t region = 0, color = 0;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(
      request, WithListTip(u"<DinoID1> <DinoID2> <Region> <Color>"),
      [&] {
        region = request.Args().Stoi(3);
        color = request.Args().Stoi(4);
      },
      DeadDinos::kNotFound);
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::ForceUpdateColorSets, dino, region, color);
  request.Reply("Successfully executed");
}

void GetDinoBP(Request& request) {
  APrimalDinoCharacter* dino = ReadIdsAndFindDino(request, WithListTip(u"<DinoID1> <DinoID2> "));
  if (dino == nullptr) return;
  request.ReplyWithType(kReplyTypeValue, ClassBlueprintPath(host::ClassOf(dino)));
}

void GetDinoPos(Request& request) {
  APrimalDinoCharacter* dino = ReadIdsAndFindDino(request, WithListTip(u"<DinoID1> <DinoID2> "));
  if (dino == nullptr) return;
  request.ReplyWithType(kReplyTypeValue, PositionText(RelativePositionOf(dino)));
}

void KillDino(Request& request) {
  APrimalDinoCharacter* dino = ReadIdsAndFindDino(request, u"<DinoID1> <DinoID2>");
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::Destroy, dino, true, false);  // its result does not matter
  request.Reply("Killed dino");
}

void SetDinoPos(Request& request) {
  float x = 0, y = 0, z = 0;
  APrimalDinoCharacter* dino =
      ReadArgsAndFindDino(request, u"<DinoID1> <DinoID2> <X> <Y> <Z>", [&] {
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

void SetImprintQuality(Request& request) {
  float percent = 0;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(request, u"<DinoID1> <DinoID2> <Quality>",
                                                   [&] { percent = request.Args().Stof(3); });
  if (dino == nullptr) return;
  Call(sym::APrimalDinoCharacter::UpdateImprintingQuality, dino, percent / 100.0f);
  request.Reply("Successfully changed Imprint Quality on dino");
}

void SetImprintToPlayer(Request& request) {
  FString eos_id;
  APrimalDinoCharacter* dino = ReadArgsAndFindDino(request, u"<DinoID1> <DinoID2> <EOS-ID>",
                                                   [&] { eos_id = request.Args().Text(3); });
  if (dino == nullptr) return;
  AShooterPlayerController* player = FindPlayerOrReply(request, eos_id);
  if (player == nullptr) return;
  FString name = CharacterNameOf(player);
  FString id_text = LinkedPlayerIdTextOf(player);
  Call(sym::APrimalDinoCharacter::UpdateImprintingDetails, dino, name, id_text);
  request.Reply("Successfully changed Imprint on dino");
}

}  // namespace

std::span<const CommandRow> DinoCommandRows() {
  static constexpr CommandRow kRows[] = {
      {1, "GiveDinoXP", &GiveDinoXP},
      {18, "GetDinoBP", &GetDinoBP},
      {19, "GetDinoPos", &GetDinoPos},
      {40, "KillDino", &KillDino},
      {61, "SetDinoColor", &SetDinoColor},
      {62, "SetDinoPos", &SetDinoPos},
      {65, "SetImprintQuality", &SetImprintQuality},
      {66, "SetImprintToPlayer", &SetImprintToPlayer},
  };
  return kRows;
}

}  // namespace orvane
