// Player and tribe edits: hair, names, positions and tribe ranks of players, tribe names, and
// teleports. Every number word is read before anything is looked up, so a bad number changes
// nothing. New names are cut out of the body (Request::TextAfter), spaced as typed.
#include <cmath>

#include "commands/command_groups.h"
#include "core/format.h"
#include "host/game_access.h"
#include "queries/cheat_managers.h"
#include "queries/entity_lookup.h"
#include "queries/lookup_replies.h"
#include "queries/player_details.h"
#include "queries/positions.h"
#include "queries/tribe_record.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

// A target location no farther than this from the origin on every axis counts as none.
constexpr float kLeastLocation = 0.0001F;

using HairSetter = decltype(sym::AShooterCharacter::NetSetFacialHairPercent);

// The two hair commands differ only in the game member and the reply.
void SetHair(Request& request, HairSetter setter, const char* done) {
  if (!request.Require(u"<EOS-ID> <Length> <Style>")) return;
  float length = 0;
  int32_t style = 0;
  AShooterPlayerController* player = ReadArgsAndFindPlayer(request, [&] {
    length = request.Args().Stof(2);
    style = request.Args().Stoi(3);
  });
  if (player == nullptr) return;
  AShooterCharacter* character = CharacterOf(player);
  if (character == nullptr) return request.Reply(kCharacterNotFound);
  Call(setter, character, length, style);
  request.Reply(done);
}

using TribeCheat = decltype(sym::UShooterCheatManager::MakeTribeAdmin);

// The two tribe rank commands differ only in the cheat and the reply; the cheat acts on the
// player that owns the cheat manager.
void SetTribeRank(Request& request, TribeCheat cheat, const char* done) {
  if (!request.Require(u"<EOS-ID>")) return;
  AShooterPlayerController* player = ReadIdAndFindPlayer(request);
  if (player == nullptr) return;
  if (!Call(sym::AShooterPlayerController::IsInTribe, player))
    return request.Reply("Player is not in a tribe!");
  UShooterCheatManager* cheats = PlayerCheatManagerOrReply(request, player);
  if (cheats == nullptr) return;
  Call(cheat, cheats);
  request.Reply(done);
}

// Where the target's pawn stands; the origin when there is no pawn, or the pawn has no root
// component to place it (the origin is then refused as an invalid location).
FVector PawnLocationOf(AShooterPlayerController* player) {
  APawn* pawn = Field(player, sym::AController::Pawn);
  if (pawn == nullptr || Field(pawn, sym::AActor::RootComponent) == nullptr) return FVector{};
  return RelativePositionOf(pawn);
}

// Whether both players have a character and neither is dead, tested in that order.
bool BothAlive(AShooterPlayerController* mover, AShooterPlayerController* target) {
  AShooterCharacter* mover_character = CharacterOf(mover);
  if (mover_character == nullptr) return false;
  AShooterCharacter* target_character = CharacterOf(target);
  if (target_character == nullptr) return false;
  return !Call(sym::APrimalCharacter::IsDead, mover_character) &&
         !Call(sym::APrimalCharacter::IsDead, target_character);
}

bool IsNearOrigin(const FVector& location) {
  const double least = kLeastLocation;
  return std::abs(location.X) <= least && std::abs(location.Y) <= least &&
         std::abs(location.Z) <= least;
}

void SetFacialHair(Request& request) {
  SetHair(request, sym::AShooterCharacter::NetSetFacialHairPercent,
          "Successfully Set Facial Hair on player");
}

void SetHeadHair(Request& request) {
  SetHair(request, sym::AShooterCharacter::NetSetHeadHairPercent,
          "Successfully Set Head Hair on player");
}

void SetPlayerName(Request& request) {
  if (!request.Require(u"<EOS-ID> <NewName>")) return;
  FString eos_id, new_name;
  if (!request.Guarded([&] {
        eos_id = request.Args().Text(1);
        new_name = request.TextAfter(TextCut::kEverywhere, u" {}", eos_id);
      }))
    return;
  AShooterPlayerController* player = FindPlayerByEosId(eos_id);
  if (player == nullptr)
    return request.Reply(Format(u"Player with eosID: {} needs to be online!", eos_id));
  if (LivingCharacterOf(player) == nullptr)
    return request.Reply(Format(u"Player with eosID: {} needs to be alive!", eos_id));
  const uint64_t player_id = Field(player, sym::AShooterPlayerController::LinkedPlayerID);
  const FString old_name = CharacterNameOf(player);
  UShooterCheatManager* cheats = ServerCheatManagerOrReply(request);
  if (cheats == nullptr) return;
  // The game names players by the low 32 bits of their id.
  Call(sym::UShooterCheatManager::RenamePlayerId, cheats, static_cast<int32_t>(player_id),
       new_name);
  request.Reply(Format(u"Successfully Renamed Player: '{}' To: '{}'", old_name, new_name));
}

void SetPlayerPos(Request& request) {
  if (!request.Require(u"<EOS-ID> <X> <Y> <Z>")) return;
  float x = 0, y = 0, z = 0;
  AShooterPlayerController* player = ReadArgsAndFindPlayer(request, [&] {
    x = request.Args().Stof(2);
    y = request.Args().Stof(3);
    z = request.Args().Stof(4);
  });
  if (player == nullptr) return;
  Call(sym::AShooterPlayerController::SetPlayerPos, player, x, y, z);
  request.Reply("Successfully teleported player");
}

void SetPlayerTribeAdmin(Request& request) {
  SetTribeRank(request, sym::UShooterCheatManager::MakeTribeAdmin,
               "Successfully set player to tribe admin!");
}

void SetPlayerTribeOwner(Request& request) {
  SetTribeRank(request, sym::UShooterCheatManager::MakeTribeFounder,
               "Successfully set player to tribe owner!");
}

void SetTribeName(Request& request) {
  if (!request.Require(u"<TribeID> <NewName>")) return;
  int32_t tribe_id = 0;
  FString new_name;
  if (!request.Guarded([&] {
        tribe_id = request.Args().Stoi(1);
        new_name = request.TextAfter(TextCut::kEverywhere, u" {}", tribe_id);
      }))
    return;
  static TribeRecordSize record_size;
  TribeRecord record(record_size.Get());
  if (!record.Load(tribe_id)) return request.Reply("Failed to load tribe data");
  const FString old_name = Field(record.get(), sym::FTribeData::TribeName);
  // The cut name keeps the space typed before it, so it rarely equals a stored name.
  if (host::EqualsIgnoringCase(new_name, old_name))
    return request.Reply("Tribe name is already set, no change required!");
  UShooterCheatManager* cheats = ServerCheatManagerOrReply(request);
  if (cheats == nullptr) return;
  Call(sym::UShooterCheatManager::RenameTribeID, cheats, tribe_id, new_name);
  request.Reply(Format(u"Successfully Renamed Tribe: '[{}]' To: '[{}]'", old_name, new_name));
}

void TeleportAllPlayers(Request& request) {
  if (!request.Require(u"<X> <Y> <Z>")) return;
  float x = 0, y = 0, z = 0;
  if (!request.Guarded([&] {
        x = request.Args().Stof(1);
        y = request.Args().Stof(2);
        z = request.Args().Stof(3);
      }))
    return;
  ForEachOnlinePlayer(StaleRule::kSkip, [&](AShooterPlayerController* controller) {
    Call(sym::AShooterPlayerController::SetPlayerPos, controller, x, y, z);
  });
  request.Reply("Successfully teleported players");
}

void TeleportToPlayer(Request& request) {
  if (!request.Require(u"<eosID1> <To-eosID2>")) return;
  FString mover_id, target_id;
  if (!request.Guarded([&] {
        mover_id = request.Args().Text(1);
        target_id = request.Args().Text(2);
      }))
    return;
  AShooterPlayerController* mover = FindPlayerOrReply(request, mover_id);
  if (mover == nullptr) return;
  AShooterPlayerController* target = FindPlayerOrReply(request, target_id);
  if (target == nullptr) return;
  const FVector location = PawnLocationOf(target);
  if (!BothAlive(mover, target)) return request.Reply("One of players is dead");
  if (IsNearOrigin(location)) return request.Reply("Player location is invalid");
  Call(sym::AShooterPlayerController::SetPlayerPos, mover, static_cast<float>(location.X),
       static_cast<float>(location.Y), static_cast<float>(location.Z));
  request.Reply("Successfully teleported player");
}

}  // namespace

std::span<const CommandRow> PlayerTribeEditRows() {
  static constexpr CommandRow kRows[] = {
      {63, "SetFacialHair", &SetFacialHair},
      {64, "SetHeadHair", &SetHeadHair},
      {67, "SetPlayerName", &SetPlayerName},
      {68, "SetPlayerPos", &SetPlayerPos},
      {69, "SetPlayerTribeAdmin", &SetPlayerTribeAdmin},
      {70, "SetPlayerTribeOwner", &SetPlayerTribeOwner},
      {71, "SetTribeName", &SetTribeName},
      {73, "TeleportAllPlayers", &TeleportAllPlayers},
      {74, "TeleportToPlayer", &TeleportToPlayer},
  };
  return kRows;
}

}  // namespace orvane
