#include "server/preview/preview_commands.h"

#include <stdlib.h>

#include <chrono>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "framework/host/running_game.h"
#include "game/journal/journal.h"
#include "game/rcon/rcon_connection.h"
#include "game/util/text.h"
#include "game/world/world.h"
#include "game/world/world_diff.h"
#include "game/world/world_file_reader.h"
#include "game/world/world_json.h"
#include "sdk/api.h"
#include "sdk/clock.h"
#include "sdk/game_members.h"
#include "server/preview/forked_run.h"
#include "server/preview/report_text.h"
#include "server/rcon/packet.h"
#include "server/request_words.h"
#include "server/root_files.h"

namespace server {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// Timer callbacks are run second by second this far past the line, to see what it scheduled.
constexpr int kProbeSeconds = 60;
constexpr std::uintmax_t kDiffFileMaxBytes = std::uintmax_t{256} << 20;

void Send(RCONClientConnection* connection, const RCONPacket& request, FString& body) {
  if (auto send = sym::Resolve(sym::RCONClientConnection::SendMessage))
    send(connection, request.Id, request.Type, body);
}

void Reply(RCONClientConnection* connection, const RCONPacket& request, std::string_view text) {
  FString body(game::ToUtf16(text));
  Send(connection, request, body);
}

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Texts of the copy name the scratch root; the report names the live one.
class PathMap {
 public:
  PathMap(const fs::path& scratch, const fs::path& root) {
    Add(scratch.string(), root.string());
    Add(HostRoot(scratch), HostRoot(root));
  }
  // `text` with the scratch root's names replaced; the JSON-escaped forms when `json_escaped`.
  std::string operator()(std::string text, bool json_escaped = false) const {
    for (const auto& [from, to] : json_escaped ? escaped_ : plain_) {
      std::size_t at = text.find(from);
      if (at == std::string::npos) continue;
      // One pass over a long text, however many times it names the root.
      std::string mapped;
      mapped.reserve(text.size());
      std::size_t done = 0;
      for (; at != std::string::npos; at = text.find(from, done)) {
        mapped.append(text, done, at - done).append(to);
        done = at + from.size();
      }
      text = mapped.append(text, done, std::string::npos);
    }
    return text;
  }

 private:
  static std::string HostRoot(const fs::path& path) {
    std::string dir = framework::BinariesDirOf(path.string());
    return dir.substr(0, dir.size() - std::string_view("\\Binaries\\Win64").size());
  }
  void Add(const std::string& from, const std::string& to) {
    plain_.emplace_back(from, to);
    escaped_.emplace_back(Json(from).dump().substr(1, Json(from).dump().size() - 2),
                          Json(to).dump().substr(1, Json(to).dump().size() - 2));
  }
  std::vector<std::pair<std::string, std::string>> plain_, escaped_;
};

// What the copy sees while the line and the timer probe run.
struct Capture {
  bool probing = false;
  std::string calls;  // the journal lines, joined by commas
  std::size_t probe_calls = 0;
  std::vector<std::pair<std::string, std::string>> log;  // level, text
};

// Moves the clock a second at a time and runs the timer callbacks, recording each second in
// which they acted (a game call or a log line) with what they logged.
Json Probe(Capture& capture) {
  capture.probing = true;
  Json scheduled = Json::array();
  for (int second = 0; second < kProbeSeconds; ++second) {
    framework::AdvanceClock(std::chrono::seconds(1));
    const std::size_t calls = capture.probe_calls, lines = capture.log.size();
    framework::TickTimers();
    if (capture.probe_calls == calls && capture.log.size() == lines) continue;
    std::string what;
    for (std::size_t i = lines; i < capture.log.size(); ++i)
      what += (what.empty() ? "" : "; ") + capture.log[i].second;
    what += fmt::format("{}{} game calls", what.empty() ? "" : " (", capture.probe_calls - calls);
    if (lines != capture.log.size()) what += ")";
    scheduled.push_back(Json{{"due", HostApi::GetClock().CalendarSeconds()}, {"what", what}});
  }
  return scheduled;
}

struct Preview {
  const PreviewContext& context;
  game::RconConnection& connection;
  const RCONPacket& request;
  std::string line;
  fs::path scratch;

  ForkHooks Hooks(Capture& capture) const {
    return {
        context.lock_log, context.unlock_log, [this, &capture] {
          context.capture_log([&capture](spdlog::level::level_enum level, std::string_view text) {
            const auto name = spdlog::level::to_string_view(level);
            capture.log.emplace_back(std::string(name.data(), name.size()), std::string(text));
          });
          connection.SetOutlet({});
          connection.ClearReplies();
        }};
  }

  // In the copy: the root's writable parts copied to scratch, the line run, the report written
  // to `out` as it is made: everything but "scheduled", then a line break and the scheduled
  // entries, for the parent to sift.
  void Report(Capture& capture, ForkedOutput& out) const {
    for (const char* part : kWrittenParts) {
      if (!fs::exists(context.root / part)) continue;
      fs::create_directories((scratch / part).parent_path());
      fs::copy(context.root / part, scratch / part, fs::copy_options::recursive);
    }
    const RootFiles files_before = ListRootFiles(scratch);
    framework::SetCurrentDir(framework::BinariesDirOf(scratch.string()));

    game::World& world = game::World::Installed();
    game::Journal& journal = world.journal();
    game::TouchedEntities touched(world);
    journal.SetSink([&capture](const std::string& text) {
      if (capture.probing) {
        ++capture.probe_calls;
        return;
      }
      if (!capture.calls.empty()) capture.calls += ',';
      capture.calls += text;
    });
    journal.SetObserver(
        [&](std::string_view fn, const game::JournalSelf& self, const game::JournalObjects& args) {
          if (!capture.probing) touched.Observe(fn, self.object, args.objects);
        });

    RCONPacket packet;
    packet.Id = request.Id;
    packet.Type = request.Type;
    packet.Length = static_cast<int32_t>(line.size()) + 10;
    packet.Body = game::ToFString(line);
    framework::Dispatch(connection.Handle(), &packet, HostApi::GetApiUtils().CurrentWorld());
    const FileChanges files = CompareRootFiles(files_before, ListRootFiles(scratch));
    JournalFileChanges(files);

    const PathMap map(scratch, context.root);
    Json replies = Json::array();
    for (const game::RconReply& reply : connection.replies())
      replies.push_back(
          Json{{"id", reply.id}, {"type", reply.type}, {"body", map(game::ToUtf8(reply.text))}});
    Json log = Json::array();
    for (const auto& [level, text] : capture.log) log.push_back(Json::array({level, map(text)}));
    // Journal lines are JSON already: they go in as they are, as do the world's objects.
    out.Write("{\"line\":" + Dump(Json(line)) + ",\"replies\":" + Dump(replies) + ",\"calls\":[");
    out.Write(map(std::move(capture.calls), true));
    out.Write("],\"log\":" + Dump(log) + ",\"world\":");
    touched.WriteDiff([&out](std::string_view piece) { out.Write(piece); });
    const Json file_changes{
        {"created", files.created}, {"removed", files.removed}, {"changed", files.changed}};
    out.Write(",\"files\":" + Dump(file_changes) + "\n" + Dump(Probe(capture)));
  }
};

// The scheduled entries that were pending before the line: found by probing a copy that runs
// nothing, and left out of the report.
Json DropPendingBefore(const PreviewContext& context, Json scheduled) {
  if (scheduled.empty()) return scheduled;
  Capture capture;
  ForkHooks hooks{context.lock_log, context.unlock_log, [&] {
                    context.capture_log([&capture](spdlog::level::level_enum, std::string_view t) {
                      capture.log.emplace_back("", std::string(t));
                    });
                    game::World::Installed().journal().SetSink(
                        [&capture](const std::string&) { ++capture.probe_calls; });
                    game::World::Installed().journal().SetObserver({});
                  }};
  std::string text;
  const ForkedResult baseline = RunForked(
      hooks, [&](ForkedOutput& out) { out.Write(Dump(Probe(capture))); },
      [&text](std::string_view piece) { text += piece; });
  if (!baseline.ok) return scheduled;
  std::set<int64_t> pending;
  for (const Json& entry : Json::parse(text)) pending.insert(entry["due"].get<int64_t>());
  Json kept = Json::array();
  for (Json& entry : scheduled)
    if (pending.count(entry["due"].get<int64_t>()) == 0) kept.push_back(std::move(entry));
  return kept;
}

// The parent's side of a report as the copy sends it. The part before the line break goes
// straight into the reply's text, turned into UTF-16 as it comes, so that a large report is held
// in no other form; the scheduled entries after it are kept apart. With `keep_text` the report is
// kept as UTF-8 instead (for the readable form).
class ReceivedReport {
 public:
  explicit ReceivedReport(bool keep_text) : keep_text_(keep_text) {}

  void Take(std::string_view piece) {
    if (!in_scheduled_) {
      const std::size_t end = piece.find('\n');
      AddToReport(piece.substr(0, end));
      if (end == std::string_view::npos) return;
      in_scheduled_ = true;
      piece.remove_prefix(end + 1);
    }
    scheduled_ += piece;
  }
  // Ends the report with `tail` (its last key). The text in bytes of UTF-8.
  std::size_t Finish(std::string_view tail) {
    AddToReport(tail);
    return bytes_;
  }
  const std::string& scheduled() const { return scheduled_; }
  const std::string& text() const { return text_; }
  FString& body() { return body_; }

 private:
  void AddToReport(std::string_view piece) {
    bytes_ += piece.size();
    if (keep_text_) {
      text_ += piece;
      return;
    }
    // A UTF-8 sequence cut at the piece's end waits for the rest.
    pending_ += piece;
    std::size_t whole = pending_.size();
    for (std::size_t back = 1; back <= 3 && back <= pending_.size(); ++back) {
      const auto byte = static_cast<unsigned char>(pending_[pending_.size() - back]);
      if ((byte & 0xC0) == 0x80) continue;  // a continuation byte: look further back
      const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      if (length > back) whole = pending_.size() - back;
      break;
    }
    const std::u16string wide = game::ToUtf16(std::string_view(pending_).substr(0, whole));
    body_.AppendChars(wide.data(), static_cast<int32_t>(wide.size()));
    pending_.erase(0, whole);
  }

  bool keep_text_;
  bool in_scheduled_ = false;
  std::size_t bytes_ = 0;
  std::string pending_, scheduled_, text_;
  FString body_;
};

bool IsServerCommand(std::string_view word) {
  return word.size() >= 4 && (word[0] | 0x20) == 'e' && (word[1] | 0x20) == 'm' &&
         (word[2] | 0x20) == 'u' && word[3] == '.';
}

// "emu.preview [--text] LINE": the words before LINE are cut, LINE keeps its own spacing.
void PreviewCommand(const PreviewContext& context, RCONClientConnection* handle,
                    const RCONPacket& request) {
  const std::string body = game::ToUtf8(request.Body.View());
  std::string_view rest = SplitFirstWord(body).rest;  // after emu.preview
  const bool text = SplitFirstWord(rest).word == "--text";
  if (text) rest = SplitFirstWord(rest).rest;
  const std::string line(rest);
  std::string first = line.substr(0, line.find(' '));
  if (line.empty()) {
    Reply(handle, request, "usage: emu.preview [--text] LINE (LINE: a plugin command line)");
    return;
  }
  if (IsServerCommand(first)) {
    Reply(handle, request,
          fmt::format("refused: emu.preview runs plugin commands only, and {} is a server command",
                      first));
    return;
  }
  char pattern[] = "/tmp/orvane-preview-XXXXXX";
  const char* scratch = ::mkdtemp(pattern);
  if (scratch == nullptr) {
    Reply(handle, request, "preview failed: cannot make a scratch folder");
    return;
  }
  Capture capture;
  const Preview preview{context, *game::RconConnection::FromHandle(handle), request, line, scratch};
  ForkHooks hooks = preview.Hooks(capture);
  // The copy removes its scratch folder once its report is sent; the parent, when it failed.
  hooks.child_cleanup = [&preview] {
    std::error_code ignored;
    fs::remove_all(preview.scratch, ignored);
  };
  ReceivedReport received(text);
  const ForkedResult result = RunForked(
      hooks, [&](ForkedOutput& out) { preview.Report(capture, out); },
      [&received](std::string_view piece) { received.Take(piece); });
  if (!result.ok) {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    Reply(handle, request, "preview failed: " + result.error);
    return;
  }
  const std::size_t bytes = received.Finish(
      ",\"scheduled\":" + Dump(DropPendingBefore(context, Json::parse(received.scheduled()))) +
      "}");
  std::map<int64_t, std::string> tribe_names;
  for (const game::TribeDescription& tribe : game::World::Installed().tribes())
    tribe_names.emplace(tribe.id, tribe.name);
  const std::string readable =
      text ? ReportText(Json::parse(received.text()), tribe_names) : std::string();
  const std::size_t size = text ? readable.size() : bytes;
  const std::size_t room =
      context.reply_room ? context.reply_room(handle) : std::numeric_limits<std::size_t>::max();
  if (rcon::EncodedReplySize(size) > room) {
    Reply(handle, request,
          fmt::format("the report is {} bytes, more than this connection can take ({} bytes); "
                      "try emu.preview --text",
                      size, room));
    return;
  }
  if (text) {
    Reply(handle, request, readable);
    return;
  }
  Send(handle, request, received.body());
}

void DiffCommand(const PreviewContext& context, RCONClientConnection* handle,
                 const RCONPacket& request) {
  const std::string body = game::ToUtf8(request.Body.View());
  const std::string file(SplitFirstWord(body).rest);
  if (file.empty()) {
    Reply(handle, request, "usage: emu.diff FILE (a world file or an emu.state export)");
    return;
  }
  try {
    const game::WorldDescription before = game::ParseWorldFile(
        game::ReadWorldFileText((context.start_dir / file).string(), kDiffFileMaxBytes));
    const Json diff = game::DiffEntities(game::EntitySet::Of(before),
                                         game::LiveEntities(game::World::Installed()));
    Reply(handle, request, diff.dump(-1, ' ', false, Json::error_handler_t::replace));
  } catch (const std::exception& e) {
    Reply(handle, request, fmt::format("cannot compare with {}: {}", file, e.what()));
  }
}

}  // namespace

void RegisterPreviewCommands(PreviewContext context) {
  // The world is built by now: each preview forks the process that holds it.
  BackHeapWithHugePages();
  framework::OwnerScope owner("server");
  auto shared = std::make_shared<const PreviewContext>(std::move(context));
  auto& commands = HostApi::GetCommands();
  commands.AddRconCommand(u"emu.preview", [shared](RCONClientConnection* c, RCONPacket* p,
                                                   UWorld*) { PreviewCommand(*shared, c, *p); });
  commands.AddRconCommand(u"emu.diff", [shared](RCONClientConnection* c, RCONPacket* p, UWorld*) {
    DiffCommand(*shared, c, *p);
  });
}

}  // namespace server
