// Request: what a command handler works with. It holds the connection, the packet and the
// command's registered name, splits the body into CommandArgs on demand, answers too few words
// with the usage text, runs the guarded stretch with its failure reply, and sends replies.
//
//   void KillDino(Request& request) {
//     if (!request.Require(3, u"<DinoID1> <DinoID2>")) return;
//     int32_t id1 = 0, id2 = 0;
//     if (!request.Guarded([&] { id1 = request.Args().Stoi(1); ... })) return;
//     ...
//     request.Reply("Killed dino");
//   }
#pragma once

#include <exception>
#include <optional>
#include <string_view>

#include <sdk/game_types.h>

#include "core/command_args.h"

namespace orvane {

enum class FailureReply {
  kPlain,        // "Request has failed"
  kPlainLogged,  // the same, then an error line "Request has failed: <what>"
  kWithMessage,  // "Request has failed: <what>"
};

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
  // True with at least `count` words; otherwise replies
  // "Not enough arguments: <command name> <arguments>" and returns false.
  bool Require(int32_t count, std::u16string_view arguments);
  // The same with a usage text of the command's own that does not follow that form.
  bool RequireWithUsage(int32_t count, const FString& usage);

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
  void SendFailure(FailureReply variant, const std::exception& e) const;

  RCONClientConnection* connection_;
  RCONPacket* packet_;
  const char* command_name_;
  std::optional<CommandArgs> args_;
};

}  // namespace orvane
