// Accounts: who may log in, and which commands each login may run. A set of accounts is made
// once, from an accounts file or from the one RCON password, and never changes afterwards: a
// reload makes a new set, and a login keeps the account it found (its rights included) for as
// long as it lasts. Both the RCON listener and other consoles log in through this one interface.
// A set may be read from any thread at once.
//
// The file: {"accounts": [{"name": NAME, "password_hash": HASH, "allow": [PATTERN, ...],
// "deny": [PATTERN, ...]}, ...]}. NAME: 1 to 64 of A-Z a-z 0-9 . _ - (it stands in log lines),
// unique ignoring ASCII case; HASH as `orvane-server --hash-password` prints it, no two alike;
// PATTERN: a command name, a group name (command_groups.h) or "*", any ASCII case. An account
// may run a command that an allow pattern matches and no deny pattern does.
#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace server::accounts {

// A file that cannot serve: the message names the file, the place in it and the rule broken.
class AccountsError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class Account {
 public:
  // Empty for the single-password mode's anonymous account.
  const std::string& name() const { return name_; }
  // Whether this account may run `command`, a command name in any ASCII case.
  bool Allowed(std::string_view command) const;

 private:
  friend class Accounts;
  std::string name_;
  std::string password_hash_;
  std::unordered_set<std::string> allowed_;  // the table's commands it may run, lower case
  bool allows_unlisted_ = false;             // commands not in the table: "*" allowed, not denied
};

// The largest accounts file read: far above any real one.
inline constexpr std::size_t kMaxAccountsFileBytes = 1u << 20;

class Accounts {
 public:
  // The single-password mode: one anonymous account, its password the given one, that may run
  // every command. REQUIRES: `password` is not empty.
  static std::shared_ptr<const Accounts> SinglePassword(std::string_view password);
  // The accounts of a file's text; `where` names the file in errors. Throws AccountsError.
  static std::shared_ptr<const Accounts> Parse(std::string_view json, std::string_view where);
  // Reads the file at `path` and parses it. Throws AccountsError.
  static std::shared_ptr<const Accounts> Load(const std::string& path);

  // The account whose password this is, or null when there is none, or more than one. Checks
  // every account, matching or not, in time that does not depend on which one comes closest.
  std::shared_ptr<const Account> Authenticate(std::string_view password) const;

  bool single_password() const { return !single_password_digest_.empty(); }
  std::size_t size() const { return accounts_.size(); }

 private:
  std::vector<std::shared_ptr<const Account>> accounts_;
  std::string single_password_digest_;  // a digest, never the password itself
};

}  // namespace server::accounts
