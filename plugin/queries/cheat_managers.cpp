#include "queries/cheat_managers.h"

#include <sdk/api.h>

#include "queries/player_details.h"

namespace orvane {

UShooterCheatManager* ServerCheatManagerOrReply(Request& request) {
  UShooterCheatManager* cheats = HostApi::GetApiUtils().CurrentCheatManager();
  if (cheats == nullptr) request.Reply(kNoServerCheatManager);
  return cheats;
}

UShooterCheatManager* PlayerCheatManagerOrReply(Request& request,
                                                AShooterPlayerController* player) {
  UShooterCheatManager* cheats = CheatManagerOf(player);
  if (cheats == nullptr) request.Reply(kNoPlayerCheatManager);
  return cheats;
}

}  // namespace orvane
