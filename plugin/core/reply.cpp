#include "core/reply.h"

#include <sdk/game_members.h>

#include "host/game_access.h"

namespace orvane {

void SendRconReplyOfType(RCONClientConnection* connection, RCONPacket* request, int32_t type,
                         const FString& text) {
  FString copy = text;  // the game takes a mutable reference
  host::Call(sym::RCONClientConnection::SendMessage, connection, request->Id, type, copy);
}

void SendRconReply(RCONClientConnection* connection, RCONPacket* request, const FString& text) {
  SendRconReplyOfType(connection, request, request->Type, text);
}

}  // namespace orvane
