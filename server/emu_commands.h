// The server's own RCON commands, registered by the server (owner "server"), not the plugin:
//   emu.state [FILE]                  the world's state as JSON, or written to FILE ("saved")
//   emu.plugin unload|load|reload     Plugin_Unload and unload, or load the plugin again
//   emu.disconnect EOS                destroy that player's controller
//   emu.clock [advance SECONDS]       the framework's clock, after moving it forward if asked
// Thread: the game thread, like every handler.
#pragma once

#include <memory>
#include <string>

#include "framework/host/plugin_loader.h"
#include "game/game.h"

namespace server {

// The plugin as the server holds it: loaded or not, always from the same path.
struct PluginSlot {
  std::string path;
  std::unique_ptr<framework::LoadedPlugin> plugin;
};

// REQUIRES: `game` and `slot` outlive the registered commands.
void RegisterEmuCommands(game::Game& game, PluginSlot& slot);

}  // namespace server
