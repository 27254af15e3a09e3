#include "queries/lookup_replies.h"

#include "queries/entity_lookup.h"

namespace orvane {

AShooterPlayerController* FindPlayerOrReply(Request& request, const FString& eos_id) {
  AShooterPlayerController* player = FindPlayerByEosId(eos_id);
  if (player == nullptr) request.Reply(kPlayerNotFound);
  return player;
}

}  // namespace orvane
