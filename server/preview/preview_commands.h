// The server's commands that show a command's effect without it taking place:
//   emu.preview [--text] LINE  runs LINE in a forked copy of the server (world, plugin state,
//                              clock) whose files live in a scratch copy of the root, and
//                              replies with a report of its replies, game calls, log lines,
//                              world changes, file changes and scheduled repeats (JSON, or
//                              readable lines with --text); nothing live changes
//   emu.diff FILE              the live world against a world file or an export, in the
//                              report's "world" form
// Thread: the game thread, like every handler.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>

#include "sdk/game_types.h"
#include "server/held_sink.h"

namespace game {
class Game;
}

namespace server {

struct PreviewContext {
  std::filesystem::path root;       // the server root: its plugin folder and Saved are copied
  std::filesystem::path start_dir;  // emu.diff's relative FILE starts here
  // Taking and releasing the shared log sinks' locks around a fork, and, in the copy, sending
  // their lines to a capture.
  std::function<void()> lock_log;
  std::function<void()> unlock_log;
  std::function<void(HeldSink::Capture)> capture_log;
  // How many bytes a reply to this connection may have (none: no limit); a larger report is
  // answered by its size instead.
  std::function<std::size_t(RCONClientConnection*)> reply_room;
};

// Also backs the heap with huge pages (see BackHeapWithHugePages), so that each preview's fork is
// quick to start. REQUIRES: a game is installed for as long as the commands are registered.
void RegisterPreviewCommands(PreviewContext context);

}  // namespace server
