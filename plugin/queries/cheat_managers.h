// The two cheat managers that commands run game cheats through: the server's and a player's
// own. Either may be missing; a command then skips its cheat and answers the reply here.
// Thread: the game thread.
#pragma once

#include <sdk/game_types.h>

#include "core/request.h"

namespace orvane {

inline constexpr const char* kNoServerCheatManager = "Can't find the server's cheat manager";
inline constexpr const char* kNoPlayerCheatManager = "Can't find the player's cheat manager";

// The framework's cheat manager; else replies kNoServerCheatManager and gives null.
UShooterCheatManager* ServerCheatManagerOrReply(Request& request);
// The player's own ("APlayerController.CheatManager"); else replies kNoPlayerCheatManager and
// gives null.
UShooterCheatManager* PlayerCheatManagerOrReply(Request& request, AShooterPlayerController* player);

}  // namespace orvane
