// Server information: in-game time, frame rate, tame and wild counts, map name, players
// connected. None takes arguments, so the body is not split.
#include <sdk/api.h>

#include "commands/command_groups.h"
#include "core/format.h"
#include "core/narrow.h"
#include "core/plugin_logger.h"
#include "host/game_access.h"
#include "queries/entity_lookup.h"
#include "queries/map_names.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

AShooterGameState* GameModeState() {
  AShooterGameMode* game_mode = HostApi::GetApiUtils().CurrentGameMode();
  return static_cast<AShooterGameState*>(Field(game_mode, sym::AGameModeBase::GameState));
}

// Counts the dinos whose team number passes `test`.
template <class TeamTest>
int CountDinos(TeamTest test) {
  int count = 0;
  ForEachListedActor(GetActorsOfClass(host::DinoClass()), [&](AActor* dino) {
    if (test(TeamOf(dino))) ++count;
  });
  return count;
}

void GetInGameTime(Request& request) {
  AShooterGameState* state = GameModeState();
  if (state == nullptr) return;
  FString day_time;
  Call(sym::AShooterGameState::GetDayTimeString, state, &day_time);
  request.Reply(Format(u"{}", ToNarrowString(day_time)));
}

void GetServerFrames(Request& request) {
  AShooterGameState* state = GameModeState();
  if (state == nullptr) return;
  const float rate = Field(state, sym::AShooterGameState::ServerFramerate);
  PluginLogger::Get().info("ServerFramerate: {}", FormatG(rate));
  const char16_t* text = rate > 15.0f  ? u"OK - Serverframes: {}"
                         : rate > 8.0f ? u"WARNING - Serverframes: {}"
                                       : u"CRITICAL - Serverframes: {}";
  request.Reply(Format(text, rate));
}

void GetTotalTames(Request& request) {
  const int count = CountDinos(IsTamedTeam);
  request.Reply(count > 0 ? Format(u"Total tamed dinos: {}", count)
                          : FString("Couldn't find any tamed dinos!"));
}

void GetTotalWilds(Request& request) {
  const int count = CountDinos(IsWildTeamForCounting);
  request.Reply(count > 0 ? Format(u"Total wild dinos: {}", count)
                          : FString("Couldn't find any wild dinos!"));
}

void GetMapName(Request& request) {
  FString map_name;
  if (UWorld* world = HostApi::GetApiUtils().CurrentWorld())
    Call(sym::UWorld::GetMapName, world, &map_name);
  request.Reply(Format(u"{}", MapDisplayName(map_name)));
}

void GetOnlineNum(Request& request) {
  auto* state = static_cast<AShooterGameState*>(
      Field(HostApi::GetApiUtils().CurrentWorld(), sym::UWorld::GameState));
  const int32_t connected =
      state != nullptr ? Field(state, sym::AShooterGameState::NumPlayerConnected) : 0;
  request.Reply(Format(u"{}", connected));
}

}  // namespace

std::span<const CommandRow> ServerInfoRows() {
  static constexpr CommandRow kRows[] = {
      {20, "GetInGameTime", &GetInGameTime}, {23, "GetServerFrames", &GetServerFrames},
      {24, "GetTotalTames", &GetTotalTames}, {25, "GetTotalWilds", &GetTotalWilds},
      {31, "GetMapName", &GetMapName},       {32, "GetOnlineNum", &GetOnlineNum},
  };
  return kRows;
}

}  // namespace orvane
