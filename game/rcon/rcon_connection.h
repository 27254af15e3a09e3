// The game's RCON client connection: the object a handler replies to. "SendMessage" records
// each reply (id, type, text) and hands it to the connection's outlet (the network writer of
// the server, or nothing in a test). Thread: the game thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sdk/game_types.h"

namespace game {

struct RconReply {
  int32_t id = 0;
  int32_t type = 0;
  std::u16string text;
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

// Registers "RCONClientConnection.SendMessage(int,int,FString&)".
void RegisterRconConnection();

}  // namespace game
