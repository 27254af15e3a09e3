// The server's own RCON commands, registered by the server (owner "server"), not the plugin:
//   emu.state [FILE]                  the world's state as JSON, or written to FILE ("saved");
//                                     a relative FILE is taken from the server's starting
//                                     directory, wherever the current directory has moved since;
//                                     over RCON FILE must lie in the state folder, and a state
//                                     too large for the connection is answered by one line
//                                     that gives its size and points to emu.state FILE
//   emu.plugin unload|load|reload     Plugin_Unload and unload, or load the plugin again
//   emu.disconnect EOS                destroy that player's controller
//   emu.clock [advance SECONDS]       the framework's clock, after moving it forward if asked
//   emu.commands                      every registered command, one a line
//   emu.version                       the server's version and build, the plugin's file and build
// Thread: the game thread, like every handler.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "framework/host/plugin_loader.h"
#include "game/game.h"
#include "sdk/game_types.h"

namespace server {

// The plugin as the server holds it: loaded or not, always from the same path.
struct PluginSlot {
  std::string path;
  std::unique_ptr<framework::LoadedPlugin> plugin;
  std::function<void()> unloaded = {};  // after each unload: the plugin's own state is gone
};

// Where a request comes from, as emu.state needs to know it.
struct RequestOrigin {
  bool remote = false;  // an RCON client; else the console or --exec
  // How many bytes (as the listener counts them) a reply may have without closing the client.
  std::size_t reply_room = std::numeric_limits<std::size_t>::max();
};

struct EmuContext {
  game::Game& game;
  PluginSlot& slot;
  std::filesystem::path state_folder;  // where emu.state FILE writes for RCON clients
  std::filesystem::path start_dir;     // the console's and --exec's relative FILEs start here
  std::function<RequestOrigin(RCONClientConnection*)> origin_of;  // none: all local
};

// REQUIRES: what `context` refers to outlives the registered commands.
void RegisterEmuCommands(EmuContext context);

// A server command's reply, journaled as the plugin's are. It stays UTF-8 on its way out.
void Reply(RCONClientConnection* connection, const RCONPacket& request, std::string text);

}  // namespace server
