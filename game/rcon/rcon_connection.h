// The game's RCON client connection: the object a handler replies to. "SendMessage" records
// each reply (id, type, text) and hands it to the connection's outlet (the network writer of
// the server, or nothing in a test); SendUtf8Reply does the same for a reply the server makes
// in UTF-8 itself. Thread: the game thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sdk/game_types.h"

namespace game {

struct RconReply {
  int32_t id = 0;
  int32_t type = 0;
  std::u16string text;  // as the plugin sent it; empty when `utf8` holds the text
  // The text of a reply the server made in UTF-8 (its own commands, whose reports can run to
  // tens of megabytes): kept so, and never widened unless a reader asks for UTF-16.
  std::optional<std::string> utf8;

  std::string Utf8() const;
  std::u16string Utf16() const;
};

class RconConnection {
 public:
  using Outlet = std::function<void(const RconReply&)>;
  explicit RconConnection(Outlet outlet = {});
  RconConnection(const RconConnection&) = delete;
  RconConnection& operator=(const RconConnection&) = delete;

  // The handle handlers receive; FromHandle gives the connection back.
  RCONClientConnection* Handle() { return reinterpret_cast<RCONClientConnection*>(this); }
  static RconConnection* FromHandle(RCONClientConnection* handle) {
    return reinterpret_cast<RconConnection*>(handle);
  }

  int number() const { return number_; }
  const std::vector<RconReply>& replies() const { return replies_; }
  void ClearReplies() { replies_.clear(); }
  // Where the following replies go (a preview's copy of the game keeps them to itself).
  void SetOutlet(Outlet outlet) { outlet_ = std::move(outlet); }
  void Send(RconReply reply);

 private:
  int number_;
  Outlet outlet_;
  std::vector<RconReply> replies_;
};

// Sends a reply made in UTF-8 as SendMessage sends the plugin's, journaled as SendMessage too.
void SendUtf8Reply(RCONClientConnection* connection, int32_t id, int32_t type, std::string text);

// Registers "RCONClientConnection.SendMessage(int,int,FString&)".
void RegisterRconConnection();

}  // namespace game
