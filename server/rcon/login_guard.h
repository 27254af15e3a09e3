// LoginGuard: counts failed logins per peer address and locks out an address that fails
// `max_failures` times within `window` for `lockout`; and paces failed logins server-wide, so
// that many addresses together get no more than `failures_per_second` passwords checked and
// refused a second. Time is passed in, so tests drive it.
// Thread-safe: one guard serves every way in (the RCON listener's thread and the web console's
// threads), so that a guess counts the same whichever way it comes.
#pragma once

#include <chrono>
#include <deque>
#include <mutex>
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
    int failures_per_second = 5;  // server-wide; 0: no limit
  };

  // The longest a login attempt waits for its turn; beyond it the attempt is refused.
  static constexpr Clock::duration kMaxTurnWait = std::chrono::seconds(2);

  explicit LoginGuard(Limits limits) : limits_(limits) {}

  // When `address`'s lockout ends, while it is locked out at `now`.
  std::optional<Clock::time_point> LockedUntil(const std::string& address, Clock::time_point now);
  bool IsLocked(const std::string& address, Clock::time_point now) {
    return LockedUntil(address, now).has_value();
  }
  // How long a login attempt arriving at `now` waits before its password is checked: zero
  // while the failures of the last second are within the limit; else the wait for its turn.
  // The turn is reserved either way, as other attempts may be checked before this one's failure
  // is known (a failure then spends nothing more); ReturnTurn gives it back when the attempt
  // turns out not to fail. None: the turn is more than kMaxTurnWait away, nothing is reserved.
  std::optional<Clock::duration> ReserveTurn(Clock::time_point now);
  void ReturnTurn();
  // Records a failed login; returns true when this failure starts a lockout. Failures while
  // locked out are not recorded: the caller refuses those logins without checking them.
  // `turn_reserved`: the attempt holds a turn of its own (see ReserveTurn).
  bool RecordFailure(const std::string& address, Clock::time_point now, bool turn_reserved = false);
  // A successful login forgets the address's earlier failures. REQUIRES: not locked out.
  void RecordSuccess(const std::string& address);

  const Limits& limits() const { return limits_; }

  // Addresses with any state (failures in the window or a lockout); for tests and pruning.
  std::size_t tracked() const {
    std::lock_guard lock(mutex_);
    return peers_.size();
  }

 private:
  struct Peer {
    std::deque<Clock::time_point> failures;  // within the window, oldest first
    Clock::time_point locked_until{};
  };
  void Prune(Clock::time_point now);
  Clock::duration Interval() const;

  Limits limits_;
  mutable std::mutex mutex_;  // over everything below
  std::unordered_map<std::string, Peer> peers_;
  Clock::time_point next_prune_{};
  // The server-wide pace: when the failures spent so far would have left the last second's
  // budget whole again (each failure or reserved turn moves it on by one interval).
  Clock::time_point budget_whole_at_{};
};

}  // namespace server::rcon
