#include "server/web/session_store.h"

#include <sodium.h>

#include <array>

namespace server::web {

std::string RandomToken() {
  [[maybe_unused]] static const bool ready = sodium_init() >= 0;  // once, thread-safe
  std::array<unsigned char, 32> bytes;
  randombytes_buf(bytes.data(), bytes.size());
  std::array<char, 2 * 32 + 1> hex;
  sodium_bin2hex(hex.data(), hex.size(), bytes.data(), bytes.size());
  return std::string(hex.data(), 2 * 32);
}

std::optional<SessionStore::Created> SessionStore::Create(
    std::shared_ptr<const accounts::Account> account, std::string_view peer, Clock::time_point now,
    std::vector<uint64_t>& ended) {
  std::lock_guard lock(mutex_);
  std::erase_if(by_token_, [&](const auto& entry) {
    if (now < entry.second->expires) return false;
    ended.push_back(entry.second->id);
    return true;
  });
  if (by_token_.size() >= limits_.max_sessions) return std::nullopt;
  auto session = std::make_shared<WebSession>();
  session->id = next_id_++;
  session->csrf = RandomToken();
  const bool named = account && !account->name().empty();
  session->source = "web " + (named ? account->name() + "@" : "") + std::string(peer);
  session->account = std::move(account);
  session->expires = now + limits_.lifetime;
  Created created{RandomToken(), session};
  by_token_.emplace(created.token, std::move(session));
  return created;
}

std::shared_ptr<const WebSession> SessionStore::Find(std::string_view token,
                                                     Clock::time_point now) const {
  std::lock_guard lock(mutex_);
  auto it = by_token_.find(std::string(token));
  if (it == by_token_.end() || now >= it->second->expires) return nullptr;
  return it->second;
}

std::optional<uint64_t> SessionStore::Remove(std::string_view token) {
  std::lock_guard lock(mutex_);
  auto it = by_token_.find(std::string(token));
  if (it == by_token_.end()) return std::nullopt;
  const uint64_t id = it->second->id;
  by_token_.erase(it);
  return id;
}

bool SessionStore::CsrfMatches(const WebSession& session, std::string_view given) {
  return given.size() == session.csrf.size() &&
         sodium_memcmp(given.data(), session.csrf.data(), given.size()) == 0;
}

}  // namespace server::web
