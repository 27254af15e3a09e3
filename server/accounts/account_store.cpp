#include "server/accounts/account_store.h"

#include <fmt/format.h>

namespace server::accounts {

AccountStore::ReloadResult AccountStore::Reload() {
  if (file_.empty())
    return {false, "no accounts file: the server runs with the one RCON password (see --accounts)"};
  std::shared_ptr<const Accounts> loaded;
  try {
    loaded = Accounts::Load(file_);
  } catch (const AccountsError& e) {
    return {false, fmt::format("kept the {} accounts in force: {}", Current()->size(), e.what())};
  }
  const std::size_t count = loaded->size();
  {
    std::lock_guard lock(mutex_);
    accounts_ = std::move(loaded);
  }
  return {true, fmt::format("reloaded {} accounts from {}", count, file_)};
}

}  // namespace server::accounts
