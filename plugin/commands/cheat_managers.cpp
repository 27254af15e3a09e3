#include "commands/cheat_managers.h"

#include <sdk/api.h>

#include "host/game_access.h"

namespace orvane {

UShooterCheatManager* ServerCheatManagerOrReply(Request& request) {
  UShooterCheatManager* cheats = HostApi::GetApiUtils().CurrentCheatManager();
  if (cheats == nullptr) request.Reply(kNoServerCheatManager);
  return cheats;
}

UShooterCheatManager* PlayerCheatManagerOrReply(Request& request,
                                                AShooterPlayerController* player) {
  // A player controller's cheat manager is always the game's own kind.
  auto* cheats =
      static_cast<UShooterCheatManager*>(host::Field(player, sym::APlayerController::CheatManager));
  if (cheats == nullptr) request.Reply(kNoPlayerCheatManager);
  return cheats;
}

}  // namespace orvane
