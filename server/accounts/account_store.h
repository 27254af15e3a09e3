// AccountStore: the accounts in force, shared by the logins (on the network thread) and the
// commands that reload them (on the game thread). A login takes the set in force at that moment
// and keeps the account it found; a reload puts a new set in place for the logins after it.
// Thread-safe.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "server/accounts/accounts.h"

namespace server::accounts {

class AccountStore {
 public:
  // `file`: where Reload reads; empty for the single-password mode, which has nothing to reload.
  explicit AccountStore(std::shared_ptr<const Accounts> accounts, std::string file = {})
      : accounts_(std::move(accounts)), file_(std::move(file)) {}

  std::shared_ptr<const Accounts> Current() const {
    std::lock_guard lock(mutex_);
    return accounts_;
  }

  // Rereads the file. The new accounts take the old ones' place; a bad file leaves the old in
  // place. `message` says what happened, in one line for the log and the reply.
  struct ReloadResult {
    bool reloaded = false;
    std::string message;
  };
  ReloadResult Reload();

 private:
  mutable std::mutex mutex_;
  std::shared_ptr<const Accounts> accounts_;
  const std::string file_;
};

}  // namespace server::accounts
