// Request: the shared shape of a command handler. It holds the connection and the packet,
// splits the body into CommandArgs on demand, answers too few words with the usage text, runs
// the guarded stretch with its failure reply, and sends replies.
//
//   void KillDino(RCONClientConnection* c, RCONPacket* p, UWorld*) {
//     Request request(c, p);
//     if (!request.Require(3, "Not enough arguments: KillDino <DinoID1> <DinoID2>")) return;
//     int32_t id1 = 0, id2 = 0;
//     if (!request.Guarded([&] { id1 = request.Args().Stoi(1); ... })) return;
//     ...
//     request.Reply("Killed dino");
//   }
#pragma once

#include <exception>
#include <optional>

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
  Request(RCONClientConnection* connection, RCONPacket* packet)
      : connection_(connection), packet_(packet) {}

  RCONClientConnection* connection() const { return connection_; }
  RCONPacket* packet() const { return packet_; }

  // The words of the body, split from a private copy at first use.
  const CommandArgs& Args();
  // True with at least `count` words; otherwise sends `usage` and returns false.
  bool Require(int32_t count, const FString& usage);

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
  std::optional<CommandArgs> args_;
};

}  // namespace orvane
