// emu.accounts reload: rereads the accounts file (--accounts) without a restart, as SIGHUP
// does; a bad file keeps the accounts in force and the reply says why. Registered by the server
// (owner "server"). Game thread, like every handler.
#pragma once

#include <memory>

#include "server/accounts/account_store.h"

namespace server {

// `store`: none when the server runs without --accounts (the command then says so).
// REQUIRES: the store outlives the registered command.
void RegisterAccountsCommand(accounts::AccountStore* store);

// Rereads the accounts and logs what happened; the reply text.
std::string ReloadAccounts(accounts::AccountStore* store);

}  // namespace server
