#include "server/web/web_bridge.h"

#include "game/util/text.h"
#include "game/world/world.h"
#include "server/web/map_data.h"

namespace server::web {
namespace {

// How long the game thread runs lines before the rest of its work has a turn.
constexpr std::chrono::microseconds kTurn{2000};

// Lines a session may have waiting at once; one page sends one at a time.
constexpr std::size_t kMaxQueuedPerSession = 8;

// The longest journal line sent whole to the live streams.
constexpr std::size_t kMaxLiveLineBytes = 4096;

// The most entities one command's map rows describe; a command that touches more (a tribe's
// destruction on a large world) makes the pages reload the map.
constexpr std::size_t kMaxMapRows = 20000;

}  // namespace

void WebBridge::Pending::Finish(Status status) {
  std::lock_guard lock(mutex);
  done = true;
  outcome.status = status;
  done_cv.notify_all();
}

WebBridge::WebBridge(GameLoop& loop, const LineRunner& runner, const SharedSinks& sinks,
                     EventHub& hub)
    : loop_(loop),
      runner_(runner),
      sinks_(sinks),
      hub_(hub),
      // The HTTP thread takes each reply as it is made, so nothing is ever held back unread.
      queue_({kMaxQueuedPerSession, SIZE_MAX, SIZE_MAX}) {}

WebBridge::~WebBridge() { Stop(); }

std::shared_ptr<WebBridge::Pending> WebBridge::Claim(int32_t id) {
  std::lock_guard lock(mutex_);
  auto it = pending_.find(id);
  if (it == pending_.end()) return nullptr;
  auto pending = std::move(it->second);
  pending_.erase(it);
  return pending;
}

void WebBridge::Await(int32_t id, Pending& pending, std::chrono::milliseconds wait) {
  std::unique_lock lock(pending.mutex);
  if (pending.done_cv.wait_for(lock, wait, [&] { return pending.done; })) return;
  lock.unlock();
  Claim(id);  // the game thread may still run it; its replies go nowhere
  lock.lock();
  if (!pending.done) pending.outcome.status = Status::kTimedOut;
}

WebBridge::Outcome WebBridge::Run(const WebSession& session, std::string line) {
  auto pending = std::make_shared<Pending>();
  pending->session = session.id;
  int32_t id = 0;
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return {};
    id = next_id_++;
    if (next_id_ == INT32_MAX) next_id_ = 1;
    queue_.Open(session.id);  // no-op when open
    switch (queue_.Push({session.id, id, 2, std::move(line), session.source, session.account})) {
      case rcon::RequestQueue::PushResult::kAccepted:
        break;
      case rcon::RequestQueue::PushResult::kFull:
        return {Status::kBusy, {}};
      case rcon::RequestQueue::PushResult::kUnknown:
        return {};
    }
    pending_.emplace(id, pending);
  }
  Schedule();
  Await(id, *pending, kWait);
  std::lock_guard lock(pending->mutex);
  return std::move(pending->outcome);
}

std::optional<std::string> WebBridge::MapSnapshot() {
  auto pending = std::make_shared<Pending>();
  int32_t id = 0;
  {
    std::lock_guard lock(mutex_);
    if (stopped_) return std::nullopt;
    id = next_id_++;
    pending_.emplace(id, pending);
  }
  loop_.Post([this, id] {
    auto claimed = Claim(id);
    if (!claimed) return;  // its reader gave up waiting
    claimed->bytes = server::web::MapSnapshot(game::World::Installed());
    claimed->Finish(Status::kDone);
  });
  Await(id, *pending, kWait);
  std::lock_guard lock(pending->mutex);
  if (pending->outcome.status != Status::kDone) return std::nullopt;
  return std::move(pending->bytes);
}

void WebBridge::Ended(uint64_t session) {
  queue_.Close(session);
  std::vector<std::shared_ptr<Pending>> dropped;
  {
    std::lock_guard lock(mutex_);
    std::erase_if(pending_, [&](const auto& entry) {
      if (entry.second->session != session) return false;
      dropped.push_back(entry.second);
      return true;
    });
    if (stopped_) return;
  }
  for (auto& pending : dropped) pending->Finish(Status::kStopped);
  loop_.Post([this, session] {
    auto it = clients_.find(session);
    if (it == clients_.end()) return;
    sessions_.erase(it->second.connection->Handle());
    clients_.erase(it);
  });
}

void WebBridge::Stop() {
  std::unordered_map<int32_t, std::shared_ptr<Pending>> all;
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    all.swap(pending_);
  }
  for (auto& [id, pending] : all) pending->Finish(Status::kStopped);
}

void WebBridge::Schedule() {
  {
    std::lock_guard lock(mutex_);
    if (drain_posted_) return;
    drain_posted_ = true;
  }
  loop_.Post([this] { Drain(); });
}

// As the RCON listener's turns: the shared sinks are held over the turn, and every line the
// turn logged is written before its replies go back.
void WebBridge::Drain() {
  {
    std::lock_guard lock(mutex_);
    drain_posted_ = false;  // before Take: a line queued from now on schedules a new turn
  }
  const auto turn_end = std::chrono::steady_clock::now() + kTurn;
  std::vector<std::pair<std::shared_ptr<Pending>, std::vector<std::string>>> finished;
  bool started = false;
  do {
    auto request = queue_.Take();
    if (!request) break;
    if (!std::exchange(started, true)) sinks_.Hold(true);
    Client& client = clients_[request->session];
    if (!client.connection) {
      client.connection = std::make_unique<game::RconConnection>(
          [&client](const game::RconReply& reply) { client.replies.push_back(reply.Utf8()); });
      sessions_[client.connection->Handle()] = request->session;
    }
    runner_.Run(*client.connection, request->peer, request->id, request->type, request->body,
                request->account.get());
    queue_.Finished(request->session);
    if (auto pending = Claim(request->id))
      finished.emplace_back(std::move(pending), std::move(client.replies));
    client.replies.clear();
  } while (std::chrono::steady_clock::now() < turn_end);
  if (started) sinks_.Hold(false);
  for (auto& [pending, replies] : finished) {
    {
      std::lock_guard lock(pending->mutex);
      pending->outcome.replies = std::move(replies);
    }
    pending->Finish(Status::kDone);
  }
  if (queue_.Ready()) Schedule();
}

// A journal line may carry a whole reply (tens of megabytes for a large preview's report): the
// live pane gets its start, cut at a character's boundary, so one line never swamps a stream.
void WebBridge::OnJournalLine(const std::string& line) {
  if (hub_.idle()) return;
  if (line.size() <= kMaxLiveLineBytes) {
    hub_.Publish("journal", line);
    return;
  }
  std::size_t cut = kMaxLiveLineBytes;
  while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
  hub_.Publish("journal", line.substr(0, cut) + " ... (" + std::to_string(line.size()) + " bytes)");
}

void WebBridge::Observe(const nlohmann::ordered_json& self, const nlohmann::ordered_json& args) {
  // Past kMaxMapRows the pages reload the map: no need to note more.
  if (hub_.idle() || touched_.size() > kMaxMapRows) return;
  const bool first = touched_.empty();
  const auto add = [this](const nlohmann::ordered_json& value, const auto& recurse) -> void {
    if (value.is_string())
      AddMapRef(value.get_ref<const std::string&>(), touched_);
    else if (value.is_array())
      for (const auto& item : value) recurse(item, recurse);
  };
  add(self, add);
  add(args, add);
  // After the task at hand (the line that made the call): the rows then show its whole effect.
  if (first && !touched_.empty()) loop_.Post([this] { PublishTouched(); });
}

// Beyond kMaxMapRows the page is better off loading the world again than applying the rows.
void WebBridge::PublishTouched() {
  if (!hub_.idle())
    hub_.Publish("map", touched_.size() > kMaxMapRows
                            ? std::string(R"({"reload":true})")
                            : MapRows(game::World::Installed(), touched_));
  touched_.clear();
}

std::optional<RequestOrigin> WebBridge::OriginOf(RCONClientConnection* connection) const {
  if (sessions_.find(connection) == sessions_.end()) return std::nullopt;
  return RequestOrigin{true, kMaxReplyBytes};
}

}  // namespace server::web
