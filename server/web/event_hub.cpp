#include "server/web/event_hub.h"

#include <utility>
#include <vector>

namespace server::web {

EventHub::~EventHub() { CloseAll(); }

std::shared_ptr<EventHub::Stream> EventHub::Open(uint64_t session) {
  auto stream = std::make_shared<Stream>();
  std::shared_ptr<Stream> old;
  {
    std::lock_guard lock(mutex_);
    if (closed_) {
      stream->End();
      return stream;
    }
    old = std::exchange(streams_[session], stream);
    if (on_change_) on_change_();
  }
  if (old) old->End();
  return stream;
}

void EventHub::Close(uint64_t session) {
  std::shared_ptr<Stream> old;
  {
    std::lock_guard lock(mutex_);
    auto it = streams_.find(session);
    if (it == streams_.end()) return;
    old = std::move(it->second);
    streams_.erase(it);
    if (on_change_) on_change_();
  }
  old->End();
}

void EventHub::CloseAll() {
  std::unordered_map<uint64_t, std::shared_ptr<Stream>> all;
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    all.swap(streams_);
    if (on_change_) on_change_();
  }
  for (auto& [session, stream] : all) stream->End();
}

bool EventHub::idle() const {
  std::lock_guard lock(mutex_);
  return streams_.empty();
}

void EventHub::Publish(std::string_view type, std::string_view data) {
  std::string event;
  event.reserve(type.size() + data.size() + 16);
  event.append("event: ").append(type).append("\ndata: ").append(data).append("\n\n");
  std::vector<uint64_t> overflowed;
  std::lock_guard lock(mutex_);
  for (auto& [session, stream] : streams_) {
    std::lock_guard stream_lock(stream->mutex_);
    if (stream->backlog_.size() + event.size() > max_backlog_bytes_) {
      stream->ended_ = true;  // too far behind: the page reconnects and starts afresh
      overflowed.push_back(session);
    } else {
      stream->backlog_ += event;
    }
    stream->arrived_.notify_one();
  }
  for (uint64_t session : overflowed) streams_.erase(session);
  if (!overflowed.empty() && on_change_) on_change_();
}

void EventHub::set_on_change(std::function<void()> on_change) {
  std::lock_guard lock(mutex_);
  on_change_ = std::move(on_change);
}

bool EventHub::Stream::Next(std::chrono::milliseconds wait, std::string& out) {
  std::unique_lock lock(mutex_);
  arrived_.wait_for(lock, wait, [this] { return ended_ || !backlog_.empty(); });
  out += backlog_;
  backlog_.clear();
  return !ended_;
}

void EventHub::Stream::End() {
  std::lock_guard lock(mutex_);
  ended_ = true;
  arrived_.notify_one();
}

}  // namespace server::web
