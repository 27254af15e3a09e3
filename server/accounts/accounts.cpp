#include "server/accounts/accounts.h"

#include <algorithm>
#include <fstream>
#include <unordered_map>

#include <fmt/format.h>
#include <sodium.h>
#include <nlohmann/json.hpp>

#include "server/accounts/command_groups.h"
#include "server/accounts/password_hash.h"
#include "server/ascii_case.h"

namespace server::accounts {
namespace {

using nlohmann::json;

std::string Digest(std::string_view password) {
  std::string digest(crypto_generichash_BYTES, '\0');
  crypto_generichash(reinterpret_cast<unsigned char*>(digest.data()), digest.size(),
                     reinterpret_cast<const unsigned char*>(password.data()), password.size(),
                     nullptr, 0);
  return digest;
}

bool ValidName(std::string_view name) {
  return !name.empty() && name.size() <= 64 && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
           c == '_' || c == '-';
  });
}

// What a pattern names, by its lower-case text: the commands of the table it matches ("*" is
// handled apart, since it also matches commands the table does not list).
const std::unordered_map<std::string, std::vector<std::string>>& PatternTargets() {
  static const auto targets = [] {
    std::unordered_map<std::string, std::vector<std::string>> map;
    for (const CommandGroup& group : CommandGroups()) {
      auto& of_group = map[AsciiLower(group.name)];
      for (const std::string& command : group.commands) {
        of_group.push_back(AsciiLower(command));
        map[AsciiLower(command)].push_back(AsciiLower(command));
      }
    }
    return map;
  }();
  return targets;
}

// Reads the file's text; duplicate keys, which JSON readers would silently drop to one, are
// refused, since a second "deny" that hides the first would open what it meant to close.
json ParseStrict(std::string_view text, const std::string& where) {
  int account = -1;
  std::vector<std::vector<std::string>> keys;  // of each object being read
  auto callback = [&](int depth, json::parse_event_t event, json& parsed) {
    if (event == json::parse_event_t::object_start) {
      keys.emplace_back();
      if (depth == 2) ++account;
    } else if (event == json::parse_event_t::object_end) {
      keys.pop_back();
    } else if (event == json::parse_event_t::key && !keys.empty()) {
      const std::string key = parsed.get<std::string>();
      auto& seen = keys.back();
      if (std::find(seen.begin(), seen.end(), key) != seen.end())
        throw AccountsError(fmt::format("{}: {}key \"{}\" given twice", where,
                                        depth >= 2 ? fmt::format("accounts[{}]: ", account) : "",
                                        key));
      seen.push_back(key);
    }
    return true;
  };
  try {
    return json::parse(text.begin(), text.end(), callback);
  } catch (const json::parse_error& e) {
    const std::size_t at = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, text.size());
    const std::size_t line = 1 + std::count(text.begin(), text.begin() + at, '\n');
    const std::size_t newline = text.rfind('\n', at == 0 ? 0 : at - 1);
    const std::size_t column = at - (newline == std::string_view::npos ? 0 : newline + 1) + 1;
    throw AccountsError(fmt::format("{}: line {} column {}: not valid JSON", where, line, column));
  }
}

struct Place {
  const std::string& where;
  std::string path;
  [[noreturn]] void Fail(std::string_view rule) const {
    throw AccountsError(fmt::format("{}: {}: {}", where, path, rule));
  }
};

std::vector<std::string> Patterns(const json& account, const char* key, const Place& place) {
  std::vector<std::string> patterns;
  auto it = account.find(key);
  if (it == account.end()) return patterns;
  const Place list{place.where, place.path + "." + key};
  if (!it->is_array()) list.Fail("must be a list of patterns");
  for (std::size_t i = 0; i < it->size(); ++i) {
    const Place at{place.where, fmt::format("{}[{}]", list.path, i)};
    const json& pattern = (*it)[i];
    if (!pattern.is_string()) at.Fail("a pattern must be a text");
    std::string lower = AsciiLower(pattern.get<std::string>());
    if (lower != "*" && !PatternTargets().contains(lower))
      at.Fail(
          fmt::format("unknown pattern \"{}\": a pattern is a command name, a group name "
                      "of the command reference or *",
                      pattern.get<std::string>()));
    patterns.push_back(std::move(lower));
  }
  return patterns;
}

// Applies the patterns: a command is allowed when an allow pattern matches it and no deny
// pattern does.
void Grant(const std::vector<std::string>& allow, const std::vector<std::string>& deny,
           std::unordered_set<std::string>& allowed, bool& allows_unlisted) {
  const auto has_all = [](const std::vector<std::string>& p) {
    return std::find(p.begin(), p.end(), "*") != p.end();
  };
  allows_unlisted = has_all(allow) && !has_all(deny);
  if (has_all(deny)) return;
  std::unordered_set<std::string> denied;
  for (const std::string& pattern : deny)
    for (const std::string& command : PatternTargets().at(pattern)) denied.insert(command);
  const auto grant = [&](const std::string& command) {
    if (!denied.contains(command)) allowed.insert(command);
  };
  if (has_all(allow)) {
    for (const CommandGroup& group : CommandGroups())
      for (const std::string& command : group.commands) grant(AsciiLower(command));
    return;
  }
  for (const std::string& pattern : allow)
    for (const std::string& command : PatternTargets().at(pattern)) grant(command);
}

}  // namespace

bool Account::Allowed(std::string_view command) const {
  const std::string lower = AsciiLower(command);
  if (allowed_.contains(lower)) return true;
  return allows_unlisted_ && !PatternTargets().contains(lower);
}

std::shared_ptr<const Accounts> Accounts::SinglePassword(std::string_view password) {
  if (sodium_init() < 0) throw std::runtime_error("cannot start libsodium");
  auto accounts = std::make_shared<Accounts>();
  auto anyone = std::make_shared<Account>();
  anyone->allows_unlisted_ = true;
  for (const auto& [pattern, commands] : PatternTargets())
    anyone->allowed_.insert(commands.begin(), commands.end());
  accounts->accounts_.push_back(std::move(anyone));
  accounts->single_password_digest_ = Digest(password);
  return accounts;
}

std::shared_ptr<const Accounts> Accounts::Parse(std::string_view text, std::string_view where_) {
  const std::string where(where_);
  const json file = ParseStrict(text, where);
  const Place top{where, "the file"};
  if (!file.is_object()) top.Fail("must be an object {\"accounts\": [...]}");
  for (const auto& [key, value] : file.items())
    if (key != "accounts") top.Fail(fmt::format("unknown key \"{}\"", key));
  auto list = file.find("accounts");
  if (list == file.end() || !list->is_array() || list->empty())
    top.Fail("\"accounts\" must be a list of at least one account");

  auto accounts = std::make_shared<Accounts>();
  std::unordered_map<std::string, std::size_t> names;   // lower case -> index
  std::unordered_map<std::string, std::size_t> hashes;  // -> index
  for (std::size_t i = 0; i < list->size(); ++i) {
    const json& entry = (*list)[i];
    const Place place{where, fmt::format("accounts[{}]", i)};
    if (!entry.is_object()) place.Fail("an account must be an object");
    for (const auto& [key, value] : entry.items())
      if (key != "name" && key != "password_hash" && key != "allow" && key != "deny")
        place.Fail(
            fmt::format("unknown key \"{}\" (an account has name, password_hash, allow "
                        "and deny)",
                        key));
    const Place name_place{where, place.path + ".name"};
    auto name = entry.find("name");
    if (name == entry.end() || !name->is_string()) name_place.Fail("a name is required");
    if (!ValidName(name->get<std::string>()))
      name_place.Fail("a name is 1 to 64 of the letters A-Z a-z, digits and . _ -");
    if (auto [it, added] = names.emplace(AsciiLower(name->get<std::string>()), i); !added)
      name_place.Fail(fmt::format("the name \"{}\" is also accounts[{}]'s (ignoring case)",
                                  name->get<std::string>(), it->second));
    const Place hash_place{where, place.path + ".password_hash"};
    auto hash = entry.find("password_hash");
    if (hash == entry.end() || !hash->is_string()) hash_place.Fail("a password hash is required");
    if (const std::string problem = HashProblem(hash->get<std::string>()); !problem.empty())
      hash_place.Fail(problem);
    if (auto [it, added] = hashes.emplace(hash->get<std::string>(), i); !added)
      hash_place.Fail(
          fmt::format("the same hash as accounts[{}]'s: two accounts cannot share a "
                      "password",
                      it->second));
    if (!entry.contains("allow")) place.Fail("\"allow\" is required (a list of patterns)");

    auto account = std::make_shared<Account>();
    account->name_ = name->get<std::string>();
    account->password_hash_ = hash->get<std::string>();
    Grant(Patterns(entry, "allow", place), Patterns(entry, "deny", place), account->allowed_,
          account->allows_unlisted_);
    accounts->accounts_.push_back(std::move(account));
  }
  return accounts;
}

std::shared_ptr<const Accounts> Accounts::Load(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw AccountsError(path + ": cannot read the accounts file");
  std::string text(kMaxAccountsFileBytes + 1, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (in.bad()) throw AccountsError(path + ": cannot read the accounts file");
  if (text.size() > kMaxAccountsFileBytes)
    throw AccountsError(
        fmt::format("{}: larger than {} bytes: not an accounts file", path, kMaxAccountsFileBytes));
  return Parse(text, path);
}

std::shared_ptr<const Account> Accounts::Authenticate(std::string_view password) const {
  if (single_password()) {
    const std::string digest = Digest(password);
    return sodium_memcmp(digest.data(), single_password_digest_.data(), digest.size()) == 0
               ? accounts_.front()
               : nullptr;
  }
  // Every hash is checked, whichever matches and however early: the time is the sum of all the
  // hashes' costs (each set by its own text), the same for every password tried.
  std::shared_ptr<const Account> found;
  int matches = 0;
  for (const auto& account : accounts_) {
    const bool match = VerifyPassword(account->password_hash_, password);
    matches += match;
    if (match) found = account;
  }
  return matches == 1 ? found : nullptr;
}

}  // namespace server::accounts
