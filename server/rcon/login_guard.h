// LoginGuard: counts failed logins per peer address and locks out an address that fails
// `max_failures` times within `window` for `lockout`. Time is passed in, so tests drive it.
// Not thread-safe: owned by the listener's network thread.
#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>

namespace server::rcon {

class LoginGuard {
 public:
  using Clock = std::chrono::steady_clock;

  struct Limits {
    int max_failures = 5;
    Clock::duration window = std::chrono::seconds(30);
    Clock::duration lockout = std::chrono::minutes(5);
  };

  explicit LoginGuard(Limits limits) : limits_(limits) {}

  // When `address`'s lockout ends, while it is locked out at `now`.
  std::optional<Clock::time_point> LockedUntil(const std::string& address, Clock::time_point now);
  bool IsLocked(const std::string& address, Clock::time_point now) {
    return LockedUntil(address, now).has_value();
  }
  // Records a failed login; returns true when this failure starts a lockout. Failures while
  // locked out are not recorded: the caller refuses those logins without checking them.
  bool RecordFailure(const std::string& address, Clock::time_point now);
  // A successful login forgets the address's earlier failures. REQUIRES: not locked out.
  void RecordSuccess(const std::string& address);

  const Limits& limits() const { return limits_; }

  // Addresses with any state (failures in the window or a lockout); for tests and pruning.
  std::size_t tracked() const { return peers_.size(); }

 private:
  struct Peer {
    std::deque<Clock::time_point> failures;  // within the window, oldest first
    Clock::time_point locked_until{};
  };
  void Prune(Clock::time_point now);

  Limits limits_;
  std::unordered_map<std::string, Peer> peers_;
  Clock::time_point next_prune_{};
};

}  // namespace server::rcon
