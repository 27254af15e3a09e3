#include "server/accounts_command.h"

#include <sstream>

#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"
#include "game/util/text.h"
#include "sdk/api.h"
#include "server/emu_commands.h"

namespace server {

std::string ReloadAccounts(accounts::AccountStore* store) {
  if (store == nullptr)
    return "no accounts file: the server runs with the one RCON password (see --accounts)";
  auto [reloaded, message] = store->Reload();
  if (reloaded)
    framework::FrameworkLog().info("Accounts: {}", message);
  else
    framework::FrameworkLog().warn("Accounts: {}", message);
  return message;
}

void RegisterAccountsCommand(accounts::AccountStore* store) {
  framework::OwnerScope owner("server");
  HostApi::GetCommands().AddRconCommand(
      u"emu.accounts", [store](RCONClientConnection* c, RCONPacket* p, UWorld*) {
        std::istringstream words(game::ToUtf8(p->Body.View()));
        std::string command, action, more;
        words >> command >> action;
        const bool reload = action == "reload" && !(words >> more);
        Reply(c, *p, reload ? ReloadAccounts(store) : "usage: emu.accounts reload");
      });
}

}  // namespace server
