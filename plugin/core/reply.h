// SendRconReply: hands one reply text to the client's connection through the game's
// "RCONClientConnection.SendMessage", with the request's id and type.
#pragma once

#include <sdk/game_types.h>

namespace orvane {

void SendRconReply(RCONClientConnection* connection, RCONPacket* request, const FString& text);
// The same with an explicit packet type (the two replies that are always sent as type 0).
void SendRconReplyOfType(RCONClientConnection* connection, RCONPacket* request, int32_t type,
                         const FString& text);

}  // namespace orvane
