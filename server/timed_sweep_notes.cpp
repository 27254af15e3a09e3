#include "server/timed_sweep_notes.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <utility>

#include <spdlog/details/null_mutex.h>
#include <spdlog/sinks/base_sink.h>

#include "game/objects/objects.h"
#include "game/world/world.h"
#include "server/ascii_case.h"
#include "server/request_words.h"

namespace server {
namespace {

constexpr std::string_view kPluginLine = "Timed Destroyed Requested";
constexpr int64_t kOffsets[] = {5, 10};  // the plugin's keys, seconds after the request

bool SchedulesSweeps(std::string_view command) {
  return EqualsIgnoringAsciiCase(command, "DestroyTribeStructures") ||
         EqualsIgnoringAsciiCase(command, "DestroyTribeAll");
}

// The tribe id as the plugin reads the word (a sign, then digits up to the first other
// character); none when the plugin would refuse it, and so schedules nothing.
std::optional<int32_t> ParseTribe(const std::string& word) {
  errno = 0;
  char* end = nullptr;
  const long tribe = std::strtol(word.c_str(), &end, 10);
  if (end == word.c_str() || errno == ERANGE || tribe < INT32_MIN || tribe > INT32_MAX)
    return std::nullopt;
  return static_cast<int32_t>(tribe);
}

int32_t CountStructures(int32_t tribe) {
  int32_t count = 0;
  game::World::Installed().ForEachLevelActor([&](game::ActorBase* actor) {
    if (actor->kind == game::ObjectKind::kStructure && actor->targeting_team == tribe) ++count;
  });
  return count;
}

std::string ClockText(int64_t seconds) {
  const auto t = static_cast<std::time_t>(seconds);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &utc);
  return text;
}

// Passes the plugin's sweep line on; every other line costs a comparison.
class SweepWatcher final : public spdlog::sinks::base_sink<spdlog::details::null_mutex> {
 public:
  explicit SweepWatcher(std::weak_ptr<TimedSweepNotes> notes) : notes_(std::move(notes)) {}

 protected:
  void sink_it_(const spdlog::details::log_msg& msg) override {
    if (std::string_view(msg.payload.data(), msg.payload.size()) != kPluginLine) return;
    if (const auto notes = notes_.lock()) notes->SweepStarting();
  }
  void flush_() override {}

 private:
  std::weak_ptr<TimedSweepNotes> notes_;
};

}  // namespace

void TimedSweepNotes::AfterRequest(std::string_view line,
                                   const std::vector<game::RconReply>& replies, int64_t now) {
  const auto [command, rest] = SplitFirstWord(line);
  if (!SchedulesSweeps(command) || replies.empty() ||
      !replies.front().text.starts_with(u"Destroyed"))
    return;
  const std::optional<int32_t> tribe = ParseTribe(std::string(SplitFirstWord(rest).word));
  if (!tribe) return;
  for (int64_t offset : kOffsets)
    schedule_.try_emplace(now + offset, Sweep{*tribe, std::string(line), now, std::nullopt});
}

void TimedSweepNotes::SweepStarting() {
  if (schedule_.empty()) return;  // scheduled before the server could see it
  Sweep sweep = std::move(schedule_.begin()->second);
  schedule_.erase(schedule_.begin());
  sweep.structures_before = CountStructures(sweep.tribe);
  running_.push_back(std::move(sweep));
}

void TimedSweepNotes::AfterTimers(spdlog::logger& log) {
  for (const Sweep& sweep : running_) {
    const int32_t left = CountStructures(sweep.tribe);
    log.info(
        "Timed structure sweep of tribe {} (scheduled by \"{}\" at {} UTC): {} structure(s) "
        "destroyed",
        sweep.tribe, sweep.request, ClockText(sweep.requested_at), *sweep.structures_before - left);
  }
  running_.clear();
}

std::shared_ptr<spdlog::sinks::sink> TimedSweepNotes::Watcher(
    std::weak_ptr<TimedSweepNotes> notes) {
  return std::make_shared<SweepWatcher>(std::move(notes));
}

}  // namespace server
