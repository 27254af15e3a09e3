#include "server/rcon/request_queue.h"

#include <algorithm>

namespace server::rcon {

void RequestQueue::Open(SessionId session) {
  std::lock_guard lock(mutex_);
  connections_.try_emplace(session);
}

// A closed connection's id may stay in turns_ for a while; Take skips it.
void RequestQueue::Close(SessionId session) {
  std::lock_guard lock(mutex_);
  connections_.erase(session);
}

RequestQueue::PushResult RequestQueue::Push(Request request) {
  std::lock_guard lock(mutex_);
  auto it = connections_.find(request.session);
  if (it == connections_.end()) return PushResult::kUnknown;
  Connection& c = it->second;
  if (c.waiting.size() >= limits_.max_queued) return PushResult::kFull;
  const SessionId session = request.session;
  c.waiting.push_back(std::move(request));
  EnterTurn(session, c);
  return PushResult::kAccepted;
}

void RequestQueue::EnterTurn(SessionId session, Connection& c) {
  if (c.in_turn) return;
  c.in_turn = true;
  turns_.push_back(session);
}

std::optional<Request> RequestQueue::Take() {
  std::lock_guard lock(mutex_);
  for (std::size_t left = turns_.size(); left > 0; --left) {
    const SessionId session = turns_.front();
    turns_.pop_front();
    auto it = connections_.find(session);
    if (it == connections_.end()) continue;
    Connection& c = it->second;
    if (Held(c)) {
      turns_.push_back(session);
      continue;
    }
    Request request = std::move(c.waiting.front());
    c.waiting.pop_front();
    if (c.waiting.empty())
      c.in_turn = false;
    else
      turns_.push_back(session);
    c.running = true;
    return request;
  }
  return std::nullopt;
}

void RequestQueue::Finished(SessionId session) {
  std::lock_guard lock(mutex_);
  if (auto it = connections_.find(session); it != connections_.end()) it->second.running = false;
}

bool RequestQueue::Ready() const {
  std::lock_guard lock(mutex_);
  return std::any_of(turns_.begin(), turns_.end(), [&](SessionId session) {
    auto it = connections_.find(session);
    return it != connections_.end() && !it->second.waiting.empty() && !Held(it->second);
  });
}

bool RequestQueue::Busy(SessionId session) const {
  std::lock_guard lock(mutex_);
  auto it = connections_.find(session);
  if (it == connections_.end()) return false;
  const Connection& c = it->second;
  return c.running || (!c.waiting.empty() && !Held(c));
}

RequestQueue::ReplyResult RequestQueue::AddUnread(SessionId session, std::size_t bytes) {
  std::lock_guard lock(mutex_);
  auto it = connections_.find(session);
  if (it == connections_.end()) return ReplyResult::kUnknown;
  Connection& c = it->second;
  if (bytes > limits_.max_unread - std::min(c.unread, limits_.max_unread))
    return ReplyResult::kOverLimit;
  c.unread += bytes;
  return ReplyResult::kAccepted;
}

bool RequestQueue::ReleaseUnread(SessionId session, std::size_t bytes) {
  std::lock_guard lock(mutex_);
  auto it = connections_.find(session);
  if (it == connections_.end()) return false;
  Connection& c = it->second;
  const bool was_held = Held(c);
  c.unread -= std::min(bytes, c.unread);
  return was_held && !Held(c) && !c.waiting.empty();
}

std::size_t RequestQueue::Room(SessionId session) const {
  std::lock_guard lock(mutex_);
  auto it = connections_.find(session);
  if (it == connections_.end()) return 0;
  return limits_.max_unread - std::min(it->second.unread, limits_.max_unread);
}

std::size_t RequestQueue::Unread(SessionId session) const {
  std::lock_guard lock(mutex_);
  auto it = connections_.find(session);
  return it == connections_.end() ? 0 : it->second.unread;
}

}  // namespace server::rcon
