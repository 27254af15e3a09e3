#include "server/emu_commands.h"

#include <charconv>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <vector>

#include <fmt/format.h>

#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "game/rcon/rcon_connection.h"
#include "game/util/text.h"
#include "sdk/api.h"
#include "sdk/clock.h"
#include "sdk/game_members.h"
#include "server/build_info.h"
#include "server/rcon/packet.h"
#include "server/state_path.h"

namespace server {

void Reply(RCONClientConnection* connection, const RCONPacket& request, std::string text) {
  game::SendUtf8Reply(connection, request.Id, request.Type, std::move(text));
}

namespace {

std::vector<std::string> Words(const RCONPacket& request) {
  const std::string body = game::ToUtf8(request.Body.View());
  std::vector<std::string> words;
  std::size_t at = 0;
  while ((at = body.find_first_not_of(' ', at)) != std::string::npos) {
    const std::size_t end = body.find(' ', at);
    words.push_back(body.substr(at, end == std::string::npos ? std::string::npos : end - at));
    at = end;
  }
  return words;
}

void State(const EmuContext& context, RCONClientConnection* connection, const RCONPacket& request) {
  const auto words = Words(request);
  const RequestOrigin origin = context.origin_of ? context.origin_of(connection) : RequestOrigin{};
  std::string state = context.game.ExportState();
  if (words.size() < 2) {
    if (rcon::EncodedReplySize(state.size()) > origin.reply_room) {
      Reply(connection, request,
            fmt::format("the state is {} bytes, more than this connection can take ({} bytes); "
                        "use emu.state FILE to write it to a file",
                        state.size(), origin.reply_room));
      return;
    }
    Reply(connection, request, std::move(state));
    return;
  }
  const std::filesystem::path path = context.start_dir / words[1];
  if (origin.remote) {
    std::error_code ignored;
    std::filesystem::create_directories(context.state_folder, ignored);
    const auto inside = RemoteStatePath(words[1], context.state_folder);
    if (!inside) {
      Reply(connection, request,
            fmt::format("refused: over RCON, emu.state writes only inside {} (\"{}\" is not)",
                        context.state_folder.string(), words[1]));
      return;
    }
    const bool saved = WriteBeneath(context.state_folder, *inside, state + '\n');
    Reply(connection, request, saved ? "saved" : "cannot write " + words[1]);
    return;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << state << '\n';
  out.close();
  Reply(connection, request, out ? "saved" : "cannot write " + words[1]);
}

std::string Unload(PluginSlot& slot) {
  if (!slot.plugin) return "the plugin is not loaded";
  slot.plugin.reset();
  if (slot.unloaded) slot.unloaded();
  return "unloaded";
}

std::string Load(PluginSlot& slot, const char* done) {
  if (slot.plugin) return "the plugin is already loaded";
  try {
    slot.plugin = framework::LoadedPlugin::Load(slot.path);
  } catch (const std::exception& e) {
    return e.what();
  }
  return done;
}

// Unloading from inside a handler is safe: the registry runs a copy of this callback, and this
// code belongs to the server, not to the library being closed.
void Plugin(PluginSlot& slot, RCONClientConnection* connection, const RCONPacket& request) {
  const auto words = Words(request);
  const std::string action = words.size() < 2 ? "" : words[1];
  if (action == "unload") {
    Reply(connection, request, Unload(slot));
  } else if (action == "load") {
    Reply(connection, request, Load(slot, "loaded"));
  } else if (action == "reload") {
    Unload(slot);
    Reply(connection, request, Load(slot, "reloaded"));
  } else {
    Reply(connection, request, "usage: emu.plugin unload|load|reload");
  }
}

void Disconnect(game::Game& game, RCONClientConnection* connection, const RCONPacket& request) {
  const auto words = Words(request);
  if (words.size() < 2) {
    Reply(connection, request, "usage: emu.disconnect <EOS-ID>");
    return;
  }
  Reply(connection, request,
        game.Disconnect(game::ToUtf16(words[1])) ? "disconnected"
                                                 : "no live controller with EOS id " + words[1]);
}

// "1700000020 2023-11-14T22:13:40Z (advanced 20 s)": epoch seconds, the same in UTC, and how
// far the clock runs ahead of the system's.
std::string ClockText() {
  const int64_t seconds = HostApi::GetClock().CalendarSeconds();
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm utc{};
  char iso[32] = "?";
  if (gmtime_r(&time, &utc) != nullptr) std::strftime(iso, sizeof iso, "%Y-%m-%dT%H:%M:%SZ", &utc);
  return fmt::format("{} {} (advanced {} s)", seconds, iso, framework::ClockAdvance().count());
}

void ClockCommand(RCONClientConnection* connection, const RCONPacket& request) {
  const auto words = Words(request);
  if (words.size() == 1) {
    Reply(connection, request, ClockText());
    return;
  }
  int64_t seconds = -1;
  if (words.size() == 3 && words[1] == "advance") {
    const std::string& text = words[2];
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seconds);
    if (error != std::errc() || end != text.data() + text.size()) seconds = -1;
  }
  if (seconds < 0 || !framework::AdvanceClock(std::chrono::seconds(seconds))) {
    Reply(connection, request,
          fmt::format("usage: emu.clock [advance SECONDS] (SECONDS: a whole number from 0 to {})",
                      (framework::kMaxClockAdvance - framework::ClockAdvance()).count()));
    return;
  }
  Reply(connection, request, ClockText());
}

// The server's build and the plugin's file and build, one a line.
void Version(const PluginSlot& slot, RCONClientConnection* connection, const RCONPacket& request) {
  const std::string id = slot.plugin ? LoadedLibraryBuildId(slot.path) : "";
  Reply(
      connection, request,
      ServerBuildText() + "\n" +
          (slot.plugin ? fmt::format("plugin {} (build-id {})", slot.path, id.empty() ? "none" : id)
                       : fmt::format("plugin {} (not loaded)", slot.path)));
}

// Every registered command, the server's and the plugin's, one a line, in registration order.
void Commands(RCONClientConnection* connection, const RCONPacket& request) {
  std::string names;
  for (const std::u16string& name : framework::RconCommandNames()) {
    if (!names.empty()) names += '\n';
    names += game::ToUtf8(name);
  }
  Reply(connection, request, names);
}

}  // namespace

void RegisterEmuCommands(EmuContext context) {
  framework::OwnerScope owner("server");
  auto& commands = HostApi::GetCommands();
  game::Game& game = context.game;
  PluginSlot& slot = context.slot;
  commands.AddRconCommand(u"emu.state",
                          [context = std::move(context)](RCONClientConnection* c, RCONPacket* p,
                                                         UWorld*) { State(context, c, *p); });
  commands.AddRconCommand(u"emu.plugin", [&slot](RCONClientConnection* c, RCONPacket* p, UWorld*) {
    Plugin(slot, c, *p);
  });
  commands.AddRconCommand(u"emu.disconnect", [&game](RCONClientConnection* c, RCONPacket* p,
                                                     UWorld*) { Disconnect(game, c, *p); });
  commands.AddRconCommand(
      u"emu.clock", [](RCONClientConnection* c, RCONPacket* p, UWorld*) { ClockCommand(c, *p); });
  commands.AddRconCommand(u"emu.commands",
                          [](RCONClientConnection* c, RCONPacket* p, UWorld*) { Commands(c, *p); });
  commands.AddRconCommand(u"emu.version", [&slot](RCONClientConnection* c, RCONPacket* p, UWorld*) {
    Version(slot, c, *p);
  });
}

}  // namespace server
