#include "server/rcon_bridge.h"

#include "game/util/text.h"

namespace server {

void RconBridge::Handle(const rcon::Request& request) {
  Client& client = connections_[request.session];
  if (!client.connection) {
    client.connection = std::make_unique<game::RconConnection>(
        [listener = listener_, session = request.session](const game::RconReply& reply) {
          listener->Reply(session, reply.id, reply.type, reply.Utf8());
        });
    sessions_[client.connection->Handle()] = request.session;
  }
  if (client.source.empty() || client.account != request.account) {  // not per request
    client.account = request.account;
    const bool named = client.account && !client.account->name().empty();
    client.source = "rcon " + (named ? client.account->name() + "@" : "") + request.peer;
  }
  runner_.Run(*client.connection, client.source, request.id, request.type, request.body,
              client.account.get());
}

void RconBridge::OnSessionClosed(rcon::SessionId session) {
  loop_.Post([this, session] {
    auto it = connections_.find(session);
    if (it == connections_.end()) return;
    sessions_.erase(it->second.connection->Handle());
    connections_.erase(it);
  });
}

RequestOrigin RconBridge::OriginOf(RCONClientConnection* connection) const {
  auto it = sessions_.find(connection);
  if (it == sessions_.end()) return {};
  return {true, listener_->ReplyRoom(it->second)};
}

}  // namespace server
