// The host side of the command registry: dispatch of RCON requests by their first word, the
// timer tick, and ownership so that unloading a plugin removes exactly its entries.
// Thread: the game thread only.
#pragma once

#include <string>
#include <vector>

#include "sdk/api.h"

namespace framework {

enum class DispatchOutcome { kHandled, kEmptyBody, kUnknownCommand };

// Runs the handler whose name equals the body's first word, ignoring ASCII case. An empty body
// is answered with one empty reply and an unknown word with "Unknown command: <word>", both
// through the connection's "SendMessage". Whatever escapes a handler is logged, not rethrown.
DispatchOutcome Dispatch(RCONClientConnection* connection, RCONPacket* request, UWorld* world);

// Runs every timer callback once, in registration order; escaping exceptions are logged.
void TickTimers();

bool HasRconCommand(std::u16string_view name);
bool HasTimerCallback(std::u16string_view name);
std::vector<std::u16string> RconCommandNames();
std::vector<std::u16string> TimerCallbackNames();

// Entries added while an owner scope is open belong to that owner ("host" otherwise).
class OwnerScope {
 public:
  explicit OwnerScope(std::string owner);
  ~OwnerScope();
  OwnerScope(const OwnerScope&) = delete;
  OwnerScope& operator=(const OwnerScope&) = delete;

 private:
  std::string previous_;
};
// Removes every entry of `owner`; returns how many there were.
int RemoveEntriesOf(const std::string& owner);

}  // namespace framework
