#include "core/command_table.h"

#include <array>
#include <string_view>
#include <vector>

#include <sdk/api.h>

#include "commands/command_groups.h"

namespace orvane {
namespace {

constexpr const char* kMarkerCommand = "Orvane.info";
constexpr const char* kTimerName = "TimedDestroyTribeStructures";

// Every counted command, in the order in which it is registered.
constexpr std::array<std::string_view, 79> kRegistrationOrder = {"GiveDinoXP",
                                                                 "GivePlayerXP",
                                                                 "GiveHexagon",
                                                                 "DestroyActorAll",
                                                                 "DestroyActorWild",
                                                                 "DestroyTribeAll",
                                                                 "DestroyTribeDinos",
                                                                 "DestroyTribePlayers",
                                                                 "DestroyTribeStructures",
                                                                 "DestroyTribeStructuresByBP",
                                                                 "DestroyPlayerProfile",
                                                                 "GiveTribeDinosFood",
                                                                 "GetActorPos",
                                                                 "GetAllActorsPos",
                                                                 "GetAllActors",
                                                                 "GetAllActorsBp",
                                                                 "GetAllDinos",
                                                                 "GetDinoBP",
                                                                 "GetDinoPos",
                                                                 "GetInGameTime",
                                                                 "GetPlayerName",
                                                                 "GetPlayerPos",
                                                                 "GetServerFrames",
                                                                 "GetTotalTames",
                                                                 "GetTotalWilds",
                                                                 "GetTribeIdOfPlayer",
                                                                 "GetTribeLog",
                                                                 "GetTribeName",
                                                                 "GetTribeStructureCount",
                                                                 "GetTribeStructurePos",
                                                                 "GetMapName",
                                                                 "GetOnlineNum",
                                                                 "GiveArmorSet",
                                                                 "GiveItemIndex",
                                                                 "GiveItemIndexToAll",
                                                                 "GiveItemToAll",
                                                                 "GiveItemToEOSId",
                                                                 "KickAllPlayers",
                                                                 "KillAllPlayers",
                                                                 "KillDino",
                                                                 "KillPlayer",
                                                                 "KillPlayerId",
                                                                 "KillUnclaimedDinos",
                                                                 "KillAllWildDinos",
                                                                 "ListAllPlayerPos",
                                                                 "ListAllPlayerEOSId",
                                                                 "ListAllStructures",
                                                                 "ListAllStructuresInRadius",
                                                                 "ListOnlineTribes",
                                                                 "ListOnlinePlayers",
                                                                 "ListPlayerDinos",
                                                                 "ListTribeDinos",
                                                                 "ListTribePlayers",
                                                                 "ListTribeStructures",
                                                                 "ListUnclaimedDinos",
                                                                 "ListUnclaimedDinosAmount",
                                                                 "SendMessageToChat",
                                                                 "SendMessageToNotification",
                                                                 "SendPlayerScriptCommand",
                                                                 "SendScriptCommand",
                                                                 "SetDinoColor",
                                                                 "SetDinoPos",
                                                                 "SetFacialHair",
                                                                 "SetHeadHair",
                                                                 "SetImprintQuality",
                                                                 "SetImprintToPlayer",
                                                                 "SetPlayerName",
                                                                 "SetPlayerPos",
                                                                 "SetPlayerTribeAdmin",
                                                                 "SetPlayerTribeOwner",
                                                                 "SetTribeName",
                                                                 "SpawnDinoBP",
                                                                 "TeleportAllPlayers",
                                                                 "TeleportToPlayer",
                                                                 "TribeChatMsg",
                                                                 "TribeLogMsg",
                                                                 "TestCommand",
                                                                 "UnlockBoss",
                                                                 "UnlockEngram"};

int32_t registration_count = 0;

void MarkerCommand(RCONClientConnection*, RCONPacket*, UWorld*) {}

std::vector<CommandEntry> JoinGroups() {
  const std::span<const CommandEntry> groups[] = {ServerInfoCommands(), PlayerQueryCommands(),
                                                  DinoCommands()};
  std::vector<CommandEntry> table;
  for (std::string_view name : kRegistrationOrder)
    for (const auto& group : groups)
      for (const CommandEntry& entry : group)
        if (name == entry.name) table.push_back(entry);
  return table;
}

}  // namespace

std::span<const CommandEntry> CommandTable() {
  static const std::vector<CommandEntry> table = JoinGroups();
  return table;
}

void Load() {
  HostApi::ICommands& commands = HostApi::GetCommands();
  commands.AddRconCommand(FString(kMarkerCommand), &MarkerCommand);
  for (const CommandEntry& entry : CommandTable()) {
    commands.AddRconCommand(FString(entry.name), entry.handler);
    ++registration_count;
  }
}

void Unload() {
  HostApi::ICommands& commands = HostApi::GetCommands();
  commands.RemoveRconCommand(FString(kMarkerCommand));
  for (const CommandEntry& entry : CommandTable()) commands.RemoveRconCommand(FString(entry.name));
}

int32_t RegistrationCount() { return registration_count; }

}  // namespace orvane
