// The handler of every counted command, declared by the file that defines it. The command list
// (command_list.cpp) pairs each with its registered name.
#pragma once

#include "core/request.h"

namespace orvane {

// server_info.cpp
void GetInGameTime(Request& request);
void GetServerFrames(Request& request);
void GetTotalTames(Request& request);
void GetTotalWilds(Request& request);
void GetMapName(Request& request);
void GetOnlineNum(Request& request);

// player_queries.cpp
void GetPlayerName(Request& request);
void GetPlayerPos(Request& request);
void GetTribeIdOfPlayer(Request& request);
void GetTribeName(Request& request);
void ListAllPlayerPos(Request& request);
void ListAllPlayerEOSId(Request& request);
void ListOnlineTribes(Request& request);
void ListOnlinePlayers(Request& request);
void ListTribePlayers(Request& request);

// dino_commands.cpp
void GiveDinoXP(Request& request);
void GetDinoBP(Request& request);
void GetDinoPos(Request& request);
void KillDino(Request& request);
void SetDinoColor(Request& request);
void SetDinoPos(Request& request);
void SetImprintQuality(Request& request);
void SetImprintToPlayer(Request& request);

// giving.cpp
void GivePlayerXP(Request& request);
void GiveHexagon(Request& request);
void GiveTribeDinosFood(Request& request);
void GiveArmorSet(Request& request);
void GiveItemToEOSId(Request& request);
void GiveItemToAll(Request& request);
void GiveItemIndex(Request& request);
void GiveItemIndexToAll(Request& request);
void SpawnDinoBP(Request& request);
void UnlockBoss(Request& request);
void UnlockEngram(Request& request);

// diagnostics/test_command.cpp
void TestCommand(Request& request);
// messaging.cpp
void SendMessageToChat(Request& request);
void SendMessageToNotification(Request& request);
void SendPlayerScriptCommand(Request& request);
void SendScriptCommand(Request& request);
void TribeChatMsg(Request& request);
void TribeLogMsg(Request& request);

// player_tribe_edits.cpp
void SetFacialHair(Request& request);
void SetHeadHair(Request& request);
void SetPlayerName(Request& request);
void SetPlayerPos(Request& request);
void SetPlayerTribeAdmin(Request& request);
void SetPlayerTribeOwner(Request& request);
void SetTribeName(Request& request);
void TeleportAllPlayers(Request& request);
void TeleportToPlayer(Request& request);

}  // namespace orvane
