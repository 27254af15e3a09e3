// Request: what a command handler works with. It holds the connection, the packet and the
// command's registered name, splits the body into CommandArgs on demand, answers too few words
// with the usage text, runs the guarded stretch with its failure reply, cuts message text out
// of the body, and sends replies. One Request per dispatched request, on the game thread.
//
//   void KillPlayerId(Request& request) {
//     if (!request.Require(u"<PlayerID>")) return;
//     uint64_t id = 0;
//     if (!request.Guarded([&] { id = request.Args().Stoull(1); })) return;
//     ...
//     request.Reply(Format(u"Succesfully killed player: {}", name));
//   }
#pragma once

#include <exception>
#include <optional>
#include <string_view>

#include <sdk/game_types.h>

#include "core/command_args.h"
#include "core/format.h"

namespace orvane {

enum class FailureReply {
  kPlain,        // "Request has failed"
  kPlainLogged,  // the same, then an error line "Request has failed: <what>"
  kWithMessage,  // "Request has failed: <what>"
};

// How message text is cut out of the body: the prefix once at its start (nothing when the body
// does not start with it), or every occurrence wherever it stands. Both ignore ASCII case.
enum class TextCut { kLeading, kEverywhere };

class Request {
 public:
  // `command_name` is the name the command is registered under (it outlives the request).
  Request(RCONClientConnection* connection, RCONPacket* packet, const char* command_name)
      : connection_(connection), packet_(packet), command_name_(command_name) {}

  RCONClientConnection* connection() const { return connection_; }
  RCONPacket* packet() const { return packet_; }
  const char* command_name() const { return command_name_; }

  // The words of the body, split from a private copy at first use.
  const CommandArgs& Args();
  // True with the command name and a word for each "<...>" placeholder of `arguments` (a
  // "(...)" word is optional); otherwise replies
  // "Not enough arguments: <command name> <arguments>" and returns false.
  bool Require(std::u16string_view arguments);
  // The same with a usage text of the command's own that does not follow that form; its
  // placeholders count the words in the same way.
  bool RequireWithUsage(const FString& usage);

  // The message text: the body without the prefix made of the command name followed by `tail`
  // brace-formatted with `pieces` (words already read, as the prefix shows them), cut by `cut`.
  // The text keeps the spacing typed inside it.
  template <class... Pieces>
  FString TextAfter(TextCut cut, std::u16string_view tail, const Pieces&... pieces) const {
    return CutFromBody(cut, Format(tail, pieces...));
  }

  // Runs `stretch`; a standard exception leaving it is answered with the failure reply of
  // `variant` and gives false. Anything else passes through.
  template <class Stretch>
  bool Guarded(Stretch&& stretch, FailureReply variant = FailureReply::kPlain) {
    try {
      stretch();
      return true;
    } catch (const std::exception& e) {
      SendFailure(variant, e);
      return false;
    }
  }

  void Reply(const FString& text) const;
  void ReplyWithType(int32_t type, const FString& text) const;

 private:
  bool HasWordsFor(std::u16string_view usage);
  FString CutFromBody(TextCut cut, const FString& tail) const;
  void SendFailure(FailureReply variant, const std::exception& e) const;

  RCONClientConnection* connection_;
  RCONPacket* packet_;
  const char* command_name_;
  std::optional<CommandArgs> args_;
};

}  // namespace orvane
