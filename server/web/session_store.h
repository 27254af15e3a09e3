// SessionStore: the web console's logged-in browsers. A login makes a session: a secret token
// (the cookie's value) and a CSRF token (which the page sends in a header with every request that
// acts), the account it logged in with and when it ends. At most max_sessions live at once: a
// login beyond them is refused until one ends, so that logins cannot grow the table without end.
// Thread-safe: the HTTP threads look sessions up while others log in and out.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "server/accounts/accounts.h"

namespace server::web {

using Clock = std::chrono::steady_clock;

struct WebSession {
  uint64_t id = 0;   // never reused; names the session in the request queue
  std::string csrf;  // the token the page sends in the X-CSRF-Token header
  std::shared_ptr<const accounts::Account> account;
  std::string source;  // the audit line's sender: "web [NAME@]ADDRESS:PORT"
  Clock::time_point expires;
};

class SessionStore {
 public:
  struct Limits {
    std::size_t max_sessions = 16;
    Clock::duration lifetime = std::chrono::hours(8);
  };
  explicit SessionStore(Limits limits) : limits_(limits) {}

  struct Created {
    std::string token;  // the cookie's value
    std::shared_ptr<const WebSession> session;
  };
  // A new session for `account`, or none while max_sessions live sessions exist. Sessions that
  // have ended are dropped first; their ids are appended to `ended`.
  std::optional<Created> Create(std::shared_ptr<const accounts::Account> account,
                                std::string_view peer, Clock::time_point now,
                                std::vector<uint64_t>& ended);
  // The live session of this token; null when there is none or it has ended.
  std::shared_ptr<const WebSession> Find(std::string_view token, Clock::time_point now) const;
  // Ends the session of this token; its id, when there was one.
  std::optional<uint64_t> Remove(std::string_view token);
  // Compares in time that does not depend on where the tokens differ.
  static bool CsrfMatches(const WebSession& session, std::string_view given);

  const Limits& limits() const { return limits_; }

 private:
  const Limits limits_;
  mutable std::mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const WebSession>> by_token_;
  uint64_t next_id_ = 1;
};

// 32 random bytes as 64 lowercase hex digits.
std::string RandomToken();

}  // namespace server::web
