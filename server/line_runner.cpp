#include "server/line_runner.h"

#include <chrono>
#include <optional>

#include "framework/host/command_registry.h"
#include "game/journal/journal.h"
#include "game/util/text.h"
#include "sdk/api.h"
#include "server/request_words.h"
#include "server/root_files.h"

namespace server {

void LineRunner::Run(game::RconConnection& connection, std::string_view source, int32_t id,
                     int32_t type, std::string_view utf8, const accounts::Account* account) const {
  const auto start = std::chrono::steady_clock::now();
  if (const std::string_view word = SplitFirstWord(utf8).word;
      account != nullptr && !word.empty() && !account->Allowed(word)) {
    connection.Send({id, type, game::ToUtf16("Not allowed: " + std::string(word))});
    connection.ClearReplies();
    audit_.Record({source, id, utf8, 1, std::chrono::steady_clock::now() - start, true});
    return;
  }
  RCONPacket packet;
  packet.Id = id;
  packet.Type = type;
  packet.Length = static_cast<int32_t>(utf8.size()) + 10;
  packet.Body = game::ToFString(utf8);
  game::Journal* journal = game::ActiveJournal();
  // A recorded request's file effects are journaled too, by comparing the written folders.
  std::optional<RootFiles> files;
  if (journal != nullptr && journal->enabled()) {
    journal->SetRequest(std::string(source), id);
    files = ListRootFiles(root_);
  }
  framework::Dispatch(connection.Handle(), &packet, HostApi::GetApiUtils().CurrentWorld());
  if (files) {
    JournalFileChanges(CompareRootFiles(*files, ListRootFiles(root_)));
    journal->ClearRequest();
  }
  if (notes_ != nullptr)
    notes_->AfterRequest(utf8, connection.replies(), HostApi::GetClock().CalendarSeconds());
  const std::size_t replies = connection.replies().size();
  connection.ClearReplies();  // the outlet has them; a long session must not pile them up
  game_.CollectGarbage();
  audit_.Record({source, id, utf8, replies, std::chrono::steady_clock::now() - start});
}

}  // namespace server
