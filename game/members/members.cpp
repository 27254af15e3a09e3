#include "game/members/members.h"

#include "game/memory/allocator.h"
#include "game/rcon/rcon_connection.h"

namespace game {

void RegisterMembers() {
  RegisterAllocator();
  RegisterRconConnection();
  members::RegisterFields();
  members::RegisterObjectFunctions();
  members::RegisterWorldFunctions();
  members::RegisterActorFunctions();
  members::RegisterPlayerFunctions();
  members::RegisterCheatFunctions();
}

}  // namespace game
