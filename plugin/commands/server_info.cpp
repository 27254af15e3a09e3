// Server information: in-game time, frame rate, tame and wild counts, map name, players
// connected. None takes arguments, so the body is not split.
#include <sdk/api.h>

#include "commands/command_groups.h"
#include "core/format.h"
#include "core/narrow.h"
#include "core/plugin_logger.h"
#include "core/request.h"
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
  for (AActor* dino : GetActorsOfClass(host::DinoClass()))
    if (dino != nullptr && test(TeamOf(dino))) ++count;
  return count;
}

void GetInGameTime(RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
  AShooterGameState* state = GameModeState();
  if (state == nullptr) return;
  FString day_time;
  Call(sym::AShooterGameState::GetDayTimeString, state, &day_time);
  Request(connection, packet).Reply(Format(u"{}", ToNarrowString(day_time)));
}

void GetServerFrames(RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
  AShooterGameState* state = GameModeState();
  if (state == nullptr) return;
  const float rate = Field(state, sym::AShooterGameState::ServerFramerate);
  PluginLogger::Get().info("ServerFramerate: {}", FormatG(rate));
  const char16_t* text = rate > 15.0f  ? u"OK - Serverframes: {}"
                         : rate > 8.0f ? u"WARNING - Serverframes: {}"
                                       : u"CRITICAL - Serverframes: {}";
  Request(connection, packet).Reply(Format(text, rate));
}

void GetTotalTames(RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
  const int count = CountDinos(IsTamedTeam);
  Request(connection, packet)
      .Reply(count > 0 ? Format(u"Total tamed dinos: {}", count)
                       : FString("Couldn't find any tamed dinos!"));
}

void GetTotalWilds(RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
  const int count = CountDinos(IsWildTeamForCounting);
  Request(connection, packet)
      .Reply(count > 0 ? Format(u"Total wild dinos: {}", count)
                       : FString("Couldn't find any wild dinos!"));
}

void GetMapName(RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
  FString map_name;
  if (UWorld* world = HostApi::GetApiUtils().CurrentWorld())
    Call(sym::UWorld::GetMapName, world, &map_name);
  Request(connection, packet).Reply(Format(u"{}", MapDisplayName(map_name)));
}

void GetOnlineNum(RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
  auto* state = static_cast<AShooterGameState*>(
      Field(HostApi::GetApiUtils().CurrentWorld(), sym::UWorld::GameState));
  const int32_t connected =
      state != nullptr ? Field(state, sym::AShooterGameState::NumPlayerConnected) : 0;
  Request(connection, packet).Reply(Format(u"{}", connected));
}

constexpr CommandEntry kCommands[] = {
    {"GetInGameTime", &GetInGameTime}, {"GetServerFrames", &GetServerFrames},
    {"GetTotalTames", &GetTotalTames}, {"GetTotalWilds", &GetTotalWilds},
    {"GetMapName", &GetMapName},       {"GetOnlineNum", &GetOnlineNum},
};

}  // namespace

std::span<const CommandEntry> ServerInfoCommands() { return kCommands; }

}  // namespace orvane
