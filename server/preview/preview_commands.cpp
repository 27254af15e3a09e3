#include "server/preview/preview_commands.h"

#include <stdlib.h>
#include <sys/resource.h>

#include <chrono>
#include <limits>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
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
#include "server/emu_commands.h"
#include "server/preview/forked_run.h"
#include "server/preview/gone_entities.h"
#include "server/preview/large_text.h"
#include "server/preview/report_text.h"
#include "server/preview/root_renamer.h"
#include "server/rcon/packet.h"
#include "server/request_words.h"
#include "server/root_files.h"

namespace server {
namespace {

namespace fs = std::filesystem;
using Json = nlohmann::ordered_json;

// Timer callbacks are run second by second this far past the line, to see what it scheduled.
constexpr int kProbeSeconds = 60;
// A fork's cost grows with the world, a report's writing with the entities the line touched
// (a journal line or so each): past this many bytes of journal lines per entity of the world,
// the timers are probed beside the report's writing rather than after it.
constexpr std::size_t kProbeBesideAbovePerEntity = 2;
// Where the copy's report leaves room for the entries the parent describes (a byte JSON text
// never holds).
constexpr char kRemovedMark = '\x01';
// Room for the journal lines of a large tribe's destruction (pages not written cost nothing).
constexpr std::size_t kCallsRoom = std::size_t{64} << 20;
constexpr std::uintmax_t kDiffFileMaxBytes = std::uintmax_t{256} << 20;

std::string Dump(const Json& json) {
  return json.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// For a copy whose result is wanted last (a timers' probe): it runs on what processor time the
// line's copy and the parent leave, rather than taking it from them.
void YieldToOthers() { ::setpriority(PRIO_PROCESS, 0, 19); }

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
  GoneEntities& gone;

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

    // The parent describes the entities the line destroys, from its world as it was.
    touched.LeaveRemovedTo(kRemovedMark);
    ReserveLarge(capture.calls, kCallsRoom);
    gone.SendFrom(world);
    RCONPacket packet;
    packet.Id = request.Id;
    packet.Type = request.Type;
    packet.Length = static_cast<int32_t>(line.size()) + 10;
    packet.Body = game::ToFString(line);
    framework::Dispatch(connection.Handle(), &packet, HostApi::GetApiUtils().CurrentWorld());
    gone.EndSending(world);
    const FileChanges files = CompareRootFiles(files_before, ListRootFiles(scratch));
    JournalFileChanges(files);
    // The timers run on past the line, after the report is made, as what they do may change the
    // world it describes; when the report is long to write, they run beside its writing in a
    // copy of this copy, whose fork then costs less than it saves.
    auto probe_text = [&capture](ForkedOutput& probe_out) {
      probe_out.Write(Dump(Probe(capture)));
    };
    std::optional<ForkedCopy> probe;
    const std::size_t entities =
        world.dinos().size() + world.structures().size() + world.actors().size();
    if (capture.calls.size() > kProbeBesideAbovePerEntity * entities)
      probe.emplace(ForkHooks{.in_child = YieldToOthers}, probe_text);

    Json replies = Json::array();
    for (const game::RconReply& reply : connection.replies())
      replies.push_back(Json{{"id", reply.id}, {"type", reply.type}, {"body", reply.Utf8()}});
    Json log = Json::array();
    for (const auto& [level, text] : capture.log) log.push_back(Json::array({level, text}));
    // Journal lines are JSON already: they go in as they are, as do the world's objects. The
    // parent puts the live root's names in place of the scratch root's.
    out.Write("{\"line\":" + Dump(Json(line)) + ",\"replies\":" + Dump(replies) + ",\"calls\":[");
    out.Write(capture.calls);
    out.Write("],\"log\":" + Dump(log) + ",\"world\":");
    touched.WriteDiff([&out](std::string_view piece) { out.Write(piece); });
    const Json file_changes{
        {"created", files.created}, {"removed", files.removed}, {"changed", files.changed}};
    out.Write(",\"files\":" + Dump(file_changes) + "\n");
    if (!probe) {
      probe_text(out);
      return;
    }
    const ForkedResult probed = probe->Finish([&out](std::string_view piece) { out.Write(piece); });
    if (!probed.ok) throw std::runtime_error("the timers' probe failed: " + probed.error);
  }
};

// The scheduled entries that were pending before the line, found by a copy that probes the
// timers without running any line, beside the line's own copy; Drop leaves them out of the
// line's entries.
class PendingBefore {
 public:
  explicit PendingBefore(const PreviewContext& context)
      : copy_(Hooks(context), [this](ForkedOutput& out) { out.Write(Dump(Probe(capture_))); }) {}

  Json Drop(Json scheduled) {
    std::string text;
    const ForkedResult baseline = copy_.Finish([&text](std::string_view piece) { text += piece; });
    if (!baseline.ok || scheduled.empty()) return scheduled;
    std::set<int64_t> pending;
    for (const Json& entry : Json::parse(text)) pending.insert(entry["due"].get<int64_t>());
    Json kept = Json::array();
    for (Json& entry : scheduled)
      if (pending.count(entry["due"].get<int64_t>()) == 0) kept.push_back(std::move(entry));
    return kept;
  }

 private:
  ForkHooks Hooks(const PreviewContext& context) {
    return {context.lock_log, context.unlock_log, [this, &context] {
              YieldToOthers();
              context.capture_log([this](spdlog::level::level_enum, std::string_view text) {
                capture_.log.emplace_back("", std::string(text));
              });
              game::World::Installed().journal().SetSink(
                  [this](const std::string&) { ++capture_.probe_calls; });
              game::World::Installed().journal().SetObserver({});
            }};
  }

  Capture capture_;
  ForkedCopy copy_;
};

// The parent's side of a report as the copy sends it, with the live root's names put back and
// the removed entries the parent described in their place: the part before the line break is the
// report's text (UTF-8, kept so up to the connection), the scheduled entries after it are kept
// apart.
class ReceivedReport {
 public:
  ReceivedReport(const fs::path& scratch, const fs::path& root, const GoneEntities& gone)
      : renamer_(scratch, root), gone_(gone) {}

  void Take(std::string_view piece) {
    if (!in_scheduled_) {
      const std::size_t end = piece.find('\n');
      if (const std::size_t mark = piece.substr(0, end).find(kRemovedMark);
          mark != std::string_view::npos) {
        renamer_.Append(piece.substr(0, mark), text_);
        renamer_.Flush(text_);
        if (!text_.ends_with('[') && !gone_.entries().empty()) text_ += ',';
        text_ += gone_.entries();
        piece.remove_prefix(mark + 1);
        Take(piece);
        return;
      }
      renamer_.Append(piece.substr(0, end), text_);
      if (end == std::string_view::npos) return;
      renamer_.Flush(text_);
      in_scheduled_ = true;
      piece.remove_prefix(end + 1);
    }
    scheduled_ += piece;
  }
  // Room for the report, once the removed entries are known: a line's journal takes about as
  // much again as its removed entries (pages not written to cost nothing).
  void Reserve() { ReserveLarge(text_, 2 * gone_.entries().size() + (std::size_t{1} << 20)); }
  std::string scheduled() { return renamer_(scheduled_); }
  std::string& text() { return text_; }

 private:
  RootRenamer renamer_;
  const GoneEntities& gone_;
  bool in_scheduled_ = false;
  std::string text_, scheduled_;
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
  std::optional<GoneEntities> gone;
  try {
    gone.emplace();
  } catch (const std::system_error& e) {
    Reply(handle, request, fmt::format("preview failed: {}", e.what()));
    return;
  }
  char pattern[] = "/tmp/orvane-preview-XXXXXX";
  const char* scratch = ::mkdtemp(pattern);
  if (scratch == nullptr) {
    Reply(handle, request, "preview failed: cannot make a scratch folder");
    return;
  }
  Capture capture;
  const Preview preview{context, *game::RconConnection::FromHandle(handle), request, line, scratch,
                        *gone};
  ForkHooks hooks = preview.Hooks(capture);
  // The copy removes its scratch folder once its report is sent; the parent, when it failed.
  hooks.child_cleanup = [&preview] {
    std::error_code ignored;
    fs::remove_all(preview.scratch, ignored);
  };
  ReceivedReport received(scratch, context.root, *gone);
  ForkedCopy copy(hooks, [&](ForkedOutput& out) { preview.Report(capture, out); });
  gone->AfterFork();
  PendingBefore pending(context);
  gone->Receive(game::World::Installed());
  received.Reserve();
  const ForkedResult result =
      copy.Finish([&received](std::string_view piece) { received.Take(piece); });
  if (!result.ok) {
    std::error_code ignored;
    fs::remove_all(scratch, ignored);
    Reply(handle, request, "preview failed: " + result.error);
    return;
  }
  received.text() +=
      ",\"scheduled\":" + Dump(pending.Drop(Json::parse(received.scheduled()))) + "}";
  std::map<int64_t, std::string> tribe_names;
  for (const game::TribeDescription& tribe : game::World::Installed().tribes())
    tribe_names.emplace(tribe.id, tribe.name);
  std::string readable =
      text ? ReportText(Json::parse(received.text()), tribe_names) : std::string();
  const std::size_t size = text ? readable.size() : received.text().size();
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
    Reply(handle, request, std::move(readable));
    return;
  }
  Reply(handle, request, std::move(received.text()));
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
