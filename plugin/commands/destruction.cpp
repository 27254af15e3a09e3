// Destruction and kill commands: actors chosen by class name or blueprint path, the members of
// one tribe, the players online, one player, and unclaimed or wild dinos are destroyed, killed
// or kicked at once through the game's own functions. Two tribe commands also schedule the
// timed repeats of the structure destruction.
#include "commands/destruction.h"

#include <optional>
#include <string_view>

#include <sdk/api.h>

#include "commands/command_groups.h"
#include "commands/timed_sweeps.h"
#include "core/format.h"
#include "host/game_access.h"
#include "queries/blueprint_names.h"
#include "queries/entity_lookup.h"
#include "queries/lookup_replies.h"
#include "queries/text_match.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

// Tribe ids start here; anything lower names no tribe.
constexpr int32_t kLowestTribeId = 1000;

// The class tests take each class from the game at the moment of the test.
bool IsDino(const AActor* actor) { return IsActorOfClass(actor, host::DinoClass()); }
bool IsStructure(const AActor* actor) { return IsActorOfClass(actor, host::StructureClass()); }
bool IsPawn(const AActor* actor) { return IsActorOfClass(actor, host::PawnClass()); }
bool IsPlayerCharacter(const AActor* actor) {
  return IsActorOfClass(actor, Call(sym::AShooterCharacter::GetPrivateStaticClass));
}

// The results of the game's destroy functions do not matter here.
void ForceDestroy(AActor* actor) { Call(sym::AActor::ForceDestroy, actor); }
void DestroyActor(AActor* actor) { Call(sym::AActor::Destroy, actor, true, false); }
void DestroyDino(AActor* dino) {
  Call(sym::APrimalDinoCharacter::Destroy, static_cast<APrimalDinoCharacter*>(dino), true, false);
}

// A structure's match for the by-blueprint destruction: its class name ignoring case, or one of
// its blueprint paths exactly.
bool StructureNameOrPathMatches(const AActor* structure, const FString& text) {
  return host::EqualsIgnoringCase(ActorClassName(structure), text) ||
         StructureMatchesBlueprint(static_cast<const APrimalStructure*>(structure), text);
}

// The tribe id as ReadTribeId reads it, answered with "Wrong tribe id" (and empty) when it is
// below the lowest.
template <class ReadMore>
std::optional<int32_t> ReadExistingTribeId(Request& request, std::u16string_view arguments,
                                           ReadMore read_more) {
  const std::optional<int32_t> tribe_id = ReadTribeId(request, arguments, read_more);
  if (tribe_id && *tribe_id < kLowestTribeId) {
    request.Reply("Wrong tribe id");
    return std::nullopt;
  }
  return tribe_id;
}

std::optional<int32_t> ReadExistingTribeId(Request& request) {
  return ReadExistingTribeId(request, u"<TribeID>", [] {});
}

struct TribeCounts {
  int32_t dinos = 0;
  int32_t structures = 0;
  int32_t pawns = 0;
};

// The tribe's members by class, in one walk; an actor may count in more than one class.
TribeCounts CountTribe(int32_t tribe_id) {
  TribeCounts counts;
  ForEachLevelActor([&](AActor* actor) {
    if (TeamOf(actor) != tribe_id) return;
    if (IsDino(actor)) ++counts.dinos;
    if (IsStructure(actor)) ++counts.structures;
    if (IsPawn(actor)) ++counts.pawns;
  });
  return counts;
}

// Destroys every actor of the level that `selected` takes with the game's force-destroy; the
// number destroyed.
template <class Select>
int32_t ForceDestroyLevelActors(Select&& selected) {
  int32_t count = 0;
  ForEachLevelActor([&](AActor* actor) {
    if (!selected(actor)) return;
    ForceDestroy(actor);
    ++count;
  });
  return count;
}

// Destroys every dino whose team number `selected` takes; the number destroyed.
int32_t DestroyDinosOfTeams(bool (*selected)(int32_t team)) {
  int32_t count = 0;
  // The list is the game's copy, so destroying while walking it is safe.
  ForEachListedActor(GetActorsOfClass(host::DinoClass()), [&](AActor* dino) {
    if (!selected(TeamOf(dino))) return;
    ++count;
    DestroyDino(dino);
  });
  return count;
}

// Runs `act` for each online player and counts them; false when a stale entry ended the walk,
// in which case the request has been answered.
template <class Act>
bool ForEachPlayerCounted(Request& request, int32_t& count, Act act) {
  const bool ended_early = ForEachOnlinePlayer(StaleRule::kEnd, [&](AShooterPlayerController* pc) {
    ++count;
    act(pc);
  });
  if (ended_early) request.Reply(kNoPlayersOnline);
  return !ended_early;
}

void KillCharacterOf(AShooterPlayerController* player) {
  if (AShooterCharacter* character =
          Call(sym::AShooterPlayerController::GetPlayerCharacter, player))
    Call(sym::APrimalCharacter::Suicide, character);
}

}  // namespace

int32_t DestroyTribeStructuresNow(int32_t tribe_id) {
  return ForceDestroyLevelActors(
      [&](AActor* actor) { return TeamOf(actor) == tribe_id && IsStructure(actor); });
}

int32_t DestroyTribeStructuresByBlueprint(int32_t tribe_id, const FString& text) {
  TextMatch matches(&StructureNameOrPathMatches, text);
  return ForceDestroyLevelActors([&](AActor* actor) {
    return TeamOf(actor) == tribe_id && IsStructure(actor) && matches(actor);
  });
}

bool DestroyTribeDinosNow(int32_t tribe_id) {
  bool destroyed = false;
  ForEachLevelActor([&](AActor* actor) {
    if (TeamOf(actor) != tribe_id || !IsDino(actor)) return;
    DestroyDino(actor);
    destroyed = true;
  });
  return destroyed;
}

void DestroyTribePawnsNow(int32_t tribe_id) {
  ForEachLevelActor([&](AActor* actor) {
    if (TeamOf(actor) == tribe_id && IsPawn(actor)) DestroyActor(actor);
  });
}

namespace {

void DestroyActorAll(Request& request) {
  if (!request.Require(u"<Blueprint/ClassName>")) return;
  FString text;
  if (!request.Guarded([&] { text = request.Args().Text(1); })) return;
  TextMatch matches(&ActorNameMatches, text);
  const int32_t count = ForceDestroyLevelActors(matches);
  if (count > 0) {
    request.Reply(Format(u"Destroyed {} Actors!", count));
  } else {
    request.Reply(
        "Couldn't match with any actors. Example: DungBeetle_Character_BP_C or full blueprint "
        "path without double quotes");
  }
}

void DestroyActorWild(Request& request) {
  if (!request.Require(u"<Blueprint/ClassName>")) return;
  FString text;
  if (!request.Guarded([&] { text = request.Args().Text(1); })) return;
  TextMatch matches(&ActorNameMatches, text);
  const int32_t count = ForceDestroyLevelActors([&](AActor* actor) {
    return TeamOf(actor) < kWildLimit && (IsDino(actor) || IsStructure(actor)) && matches(actor);
  });
  if (count > 0) {
    request.Reply(Format(u"Destroyed {} non-player owned Actors!", count));
  } else {
    request.Reply(
        "Couldn't match with any actors. Example: DestroyActorWild DungBeetle_Character_BP_C or "
        "full blueprint path without double quotes.");
  }
}

void DestroyTribeAll(Request& request) {
  const std::optional<int32_t> tribe_id = ReadExistingTribeId(request);
  if (!tribe_id) return;
  // Counted before anything is destroyed: the pawns' destruction takes the dinos with it.
  const TribeCounts counts = CountTribe(*tribe_id);
  DestroyTribePawnsNow(*tribe_id);
  DestroyTribeDinosNow(*tribe_id);
  DestroyTribeStructuresNow(*tribe_id);
  ScheduleStructureSweeps(*tribe_id);
  request.Reply(Format(u"Destroyed: {} Structures, {} Dinos & {} Players!", counts.structures,
                       counts.dinos, counts.pawns));
  request.Reply("Successfully executed");
}

void DestroyTribeDinos(Request& request) {
  const std::optional<int32_t> tribe_id = ReadExistingTribeId(request);
  if (!tribe_id) return;
  const int32_t dinos = CountTribe(*tribe_id).dinos;
  if (DestroyTribeDinosNow(*tribe_id)) {
    request.Reply(Format(u"Successfully destroyed {} dino(s)!", dinos));
  } else {
    request.Reply("Successfully executed but couldn't find any dino(s)!");
  }
}

void DestroyTribePlayers(Request& request) {
  const std::optional<int32_t> tribe_id = ReadExistingTribeId(request);
  if (!tribe_id) return;
  DestroyTribePawnsNow(*tribe_id);
  request.Reply("Successfully executed");
}

void DestroyTribeStructures(Request& request) {
  const std::optional<int32_t> tribe_id = ReadExistingTribeId(request);
  if (!tribe_id) return;
  request.Reply(Format(u"Destroyed {} structure(s)!", DestroyTribeStructuresNow(*tribe_id)));
  ScheduleStructureSweeps(*tribe_id);
}

void DestroyTribeStructuresByBP(Request& request) {
  FString text;
  const std::optional<int32_t> tribe_id = ReadExistingTribeId(
      request, u"<TribeID> <Blueprint/ClassName>", [&] { text = request.Args().Text(2); });
  if (!tribe_id) return;
  request.Reply(
      Format(u"Destroyed {} structure(s)!", DestroyTribeStructuresByBlueprint(*tribe_id, text)));
}

void KickAllPlayers(Request& request) {
  AShooterGameMode* game_mode = HostApi::GetApiUtils().CurrentGameMode();
  int32_t count = 0;
  const bool finished = ForEachPlayerCounted(request, count, [&](AShooterPlayerController* pc) {
    FString message("You have been kicked by an Admin");
    Call(sym::AShooterGameMode::KickPlayerController, game_mode, pc, message);
  });
  if (finished) request.Reply(Format(u"Successfully kicked {} players", count));
}

void KillAllPlayers(Request& request) {
  int32_t count = 0;
  if (ForEachPlayerCounted(request, count, &KillCharacterOf))
    request.Reply(Format(u"Successfully killed {} players", count));
}

void KillPlayer(Request& request) {
  if (!request.Require(u"<EOS-ID>")) return;
  AShooterPlayerController* player = ReadIdAndFindPlayer(request);
  if (player == nullptr) return;
  KillCharacterOf(player);
  request.Reply("Successfully executed the command to kill player");
}

void KillPlayerId(Request& request) {
  if (!request.Require(u"<PlayerID>")) return;
  uint64_t player_data_id = 0;
  if (!request.Guarded([&] { player_data_id = request.Args().Stoull(1); })) return;
  // Every character with the id is destroyed; the name is the last one's.
  FString name;
  ForEachLevelActor([&](AActor* actor) {
    if (!IsPlayerCharacter(actor)) return;
    auto* character = static_cast<AShooterCharacter*>(actor);
    if (Field(character, sym::AShooterCharacter::LinkedPlayerDataID) != player_data_id) return;
    name = Field(character, sym::AShooterCharacter::PlayerName);
    DestroyActor(character);
  });
  request.Reply(Format(u"Succesfully killed player: {}", name));
}

void KillUnclaimedDinos(Request& request) {
  const int32_t count = DestroyDinosOfTeams(&IsUnclaimedTeam);
  if (count > 0) {
    request.Reply(Format(u"Killed {} of unclaimed dinos!", count));
  } else {
    request.Reply("Couldn't find any Unclaimed Dinos to kill!");
  }
}

void KillAllWildDinos(Request& request) {
  const int32_t count = DestroyDinosOfTeams(&IsWildTeamForKilling);
  if (count > 0) {
    request.Reply(Format(u"Killed {} of wild dinos!", count));
  } else {
    request.Reply("Couldn't find any wild Dinos to kill!");
  }
}

}  // namespace

std::span<const CommandRow> DestructionRows() {
  static constexpr CommandRow kRows[] = {
      {4, "DestroyActorAll", &DestroyActorAll},
      {5, "DestroyActorWild", &DestroyActorWild},
      {6, "DestroyTribeAll", &DestroyTribeAll},
      {7, "DestroyTribeDinos", &DestroyTribeDinos},
      {8, "DestroyTribePlayers", &DestroyTribePlayers},
      {9, "DestroyTribeStructures", &DestroyTribeStructures},
      {10, "DestroyTribeStructuresByBP", &DestroyTribeStructuresByBP},
      {38, "KickAllPlayers", &KickAllPlayers},
      {39, "KillAllPlayers", &KillAllPlayers},
      {41, "KillPlayer", &KillPlayer},
      {42, "KillPlayerId", &KillPlayerId},
      {43, "KillUnclaimedDinos", &KillUnclaimedDinos},
      {44, "KillAllWildDinos", &KillAllWildDinos},
  };
  return kRows;
}

}  // namespace orvane
