#include "game/rcon/rcon_connection.h"

#include <atomic>

#include "framework/host/address_table.h"
#include "game/journal/journal.h"
#include "game/util/text.h"
#include "sdk/game_members.h"

namespace game {
namespace {

std::atomic<int> next_connection_number{1};

// Every reply is journaled with its id and type, under the connection's REF.
void JournalReply(const RconConnection& connection, int32_t id, int32_t type,
                  std::string_view utf8) {
  if (const Journal* journal = ActiveJournal(); journal != nullptr && journal->enabled()) {
    journal->Write(sym::RCONClientConnection::SendMessage.name,
                   "connection:" + std::to_string(connection.number()),
                   nlohmann::ordered_json::array({id, type, utf8}));
  }
}

void SendMessage(RCONClientConnection* self, int32_t id, int32_t type, FString& text) {
  RconConnection* connection = RconConnection::FromHandle(self);
  if (const Journal* journal = ActiveJournal(); journal != nullptr && journal->enabled())
    JournalReply(*connection, id, type, ToUtf8(text.View()));
  connection->Send({id, type, std::u16string(text.View()), std::nullopt});
}

}  // namespace

std::string RconReply::Utf8() const { return utf8 ? *utf8 : ToUtf8(text); }

std::u16string RconReply::Utf16() const { return utf8 ? ToUtf16(*utf8) : text; }

void SendUtf8Reply(RCONClientConnection* handle, int32_t id, int32_t type, std::string text) {
  RconConnection* connection = RconConnection::FromHandle(handle);
  JournalReply(*connection, id, type, text);
  connection->Send({id, type, {}, std::move(text)});
}

RconConnection::RconConnection(Outlet outlet)
    : number_(next_connection_number++), outlet_(std::move(outlet)) {}

void RconConnection::Send(RconReply reply) {
  if (outlet_) outlet_(reply);
  replies_.push_back(std::move(reply));
}

void RegisterRconConnection() {
  framework::Register(sym::RCONClientConnection::SendMessage, &SendMessage);
}

}  // namespace game
