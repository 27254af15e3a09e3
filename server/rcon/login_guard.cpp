#include "server/rcon/login_guard.h"

#include <algorithm>

namespace server::rcon {

std::optional<LoginGuard::Clock::time_point> LoginGuard::LockedUntil(const std::string& address,
                                                                     Clock::time_point now) {
  std::lock_guard lock(mutex_);
  Prune(now);
  auto it = peers_.find(address);
  if (it == peers_.end() || now >= it->second.locked_until) return std::nullopt;
  return it->second.locked_until;
}

LoginGuard::Clock::duration LoginGuard::Interval() const {
  return std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)) /
         limits_.failures_per_second;
}

// One second's worth of failures may come at once; beyond that each waits an interval behind
// the one before it.
std::optional<LoginGuard::Clock::duration> LoginGuard::ReserveTurn(Clock::time_point now) {
  if (limits_.failures_per_second <= 0) return Clock::duration::zero();
  std::lock_guard lock(mutex_);
  const Clock::time_point turn = budget_whole_at_ - std::chrono::seconds(1);
  if (now >= turn) {
    budget_whole_at_ = std::max(budget_whole_at_, now) + Interval();
    return Clock::duration::zero();
  }
  if (turn - now > kMaxTurnWait) return std::nullopt;
  budget_whole_at_ += Interval();
  return turn - now;
}

void LoginGuard::ReturnTurn() {
  if (limits_.failures_per_second <= 0) return;
  std::lock_guard lock(mutex_);
  budget_whole_at_ -= Interval();
}

bool LoginGuard::RecordFailure(const std::string& address, Clock::time_point now,
                               bool turn_reserved) {
  std::lock_guard lock(mutex_);
  if (limits_.failures_per_second > 0 && !turn_reserved)
    budget_whole_at_ = std::max(budget_whole_at_, now) + Interval();
  Prune(now);
  Peer& peer = peers_[address];
  while (!peer.failures.empty() && now - peer.failures.front() >= limits_.window)
    peer.failures.pop_front();
  peer.failures.push_back(now);
  if (static_cast<int>(peer.failures.size()) < limits_.max_failures) return false;
  peer.failures.clear();
  peer.locked_until = now + limits_.lockout;
  return true;
}

void LoginGuard::RecordSuccess(const std::string& address) {
  std::lock_guard lock(mutex_);
  peers_.erase(address);
}

// Forgets addresses whose lockout has ended and whose failures have left the window, so that
// a scan from many addresses does not grow the table for ever.
void LoginGuard::Prune(Clock::time_point now) {
  if (now < next_prune_) return;
  next_prune_ = now + limits_.window;
  std::erase_if(peers_, [&](const auto& entry) {
    const Peer& peer = entry.second;
    const bool recent = !peer.failures.empty() && now - peer.failures.back() < limits_.window;
    return !recent && now >= peer.locked_until;
  });
}

}  // namespace server::rcon
