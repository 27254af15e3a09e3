// Command transcripts: each file in the folder given is a run of requests on worlds of its own,
// dispatched through the loaded plugin, with what each step did written under it: the replies
// (<), the game calls (=), the log lines (|) and whatever else the step shows (:). The run is
// made again and must write the same file; with --regenerate the files are rewritten instead.
//
// Steps: `world JSON` or `world+root JSON` (a server root in a temporary folder, shown as
// <root>), where JSON may be a file name beside the transcript or "default"; `> LINE` a request,
// \u{HEX} a character; `state [POINTER]` the state export less its memory; `file NAME` a file of
// the plugin folder; `plant NAME` "old run" in one; `put PATH`, `exists PATH`, `remove PATH` and
// `cwd` under the root; `advance SECONDS` the clock, then the timers; `unload`, `load`,
// `timers` the plugin and its timers; `collect` the garbage.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "game/game.h"
#include "game/util/text.h"
#include "tests/support/test_world.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int32_t kRequestId = 7;
constexpr int32_t kRequestType = 2;

bool IsOutput(const std::string& line) {
  return line.size() >= 2 && line[1] == ' ' &&
         std::string_view("<=|:").find(line[0]) != std::string_view::npos;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The text with each \u{HEX} made the character it names.
std::string Unescaped(const std::string& text) {
  std::string utf8;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::size_t close = text.find('}', i);
    if (text.compare(i, 3, "\\u{") != 0 || close == std::string::npos) {
      utf8 += text[i];
      continue;
    }
    const auto code = std::stoul(text.substr(i + 3, close - i - 3), nullptr, 16);
    utf8 += game::ToUtf8(std::u16string(1, static_cast<char16_t>(code)));
    i = close;
  }
  return utf8;
}

class Run {
 public:
  explicit Run(fs::path folder) : folder_(std::move(folder)), start_(fs::current_path()) {}
  ~Run() { EndWorld(); }

  // The transcript's steps run again: the file as this run writes it.
  std::string Replay(const std::string& transcript) {
    std::istringstream in(transcript);
    for (std::string line; std::getline(in, line);) {
      if (IsOutput(line)) continue;
      out_ << line << '\n';
      Step(line);
    }
    EndWorld();
    return out_.str();
  }

 private:
  void Step(const std::string& line) {
    const auto space = line.find(' ');
    const std::string word = line.substr(0, space);
    const std::string rest = space == std::string::npos ? "" : line.substr(space + 1);
    const std::size_t logged = world_ ? world_->host().log().lines().size() : 0;
    const std::size_t journaled = world_ ? world_->journal_lines().size() : 0;
    const int64_t blocks = world_ ? world_->live_blocks() : 0;
    if (word == "world" || word == "world+root") {
      EndWorld();
      const std::string text = rest == "default"       ? std::string(game::DefaultWorldJson())
                               : rest.starts_with("{") ? rest
                                                       : ReadFile(folder_ / rest);
      try {
        world_ = std::make_unique<support::TestWorld>(
            text, support::TestWorld::Options{.load_plugin = true, .make_root = word != "world"});
      } catch (const std::exception& e) {
        Show(": cannot build the world: " + std::string(e.what()));
      }
      return;
    }
    if (world_ == nullptr) return;
    if (word == ">") {
      std::string request = Unescaped(rest);
      if (const auto at = request.find("<root>"); at != std::string::npos)
        request.replace(at, 6, world_->root());
      for (const auto& reply : world_->Dispatch(game::ToUtf16(request), kRequestId, kRequestType)) {
        std::string shown = "< " + json(Rootless(reply.Utf8())).dump();
        if (reply.id != kRequestId || reply.type != kRequestType)
          shown +=
              " (id " + std::to_string(reply.id) + ", type " + std::to_string(reply.type) + ")";
        Show(shown);
      }
    } else if (word == "state") {
      json state = world_->State();
      state.erase("memory");
      Show(": " + state.at(json::json_pointer(rest)).dump());
    } else if (word == "file") {
      const fs::path path = fs::path(world_->plugin_folder()) / rest;
      Show(": " + (fs::exists(path) ? json(ReadFile(path)).dump() : "<missing>"));
    } else if (word == "plant") {
      std::ofstream(fs::path(world_->plugin_folder()) / rest) << "old run\n";
    } else if (word == "put") {
      std::ofstream(Rooted(rest)) << "x";
    } else if (word == "exists") {
      Show(fs::exists(Rooted(rest)) ? ": yes" : ": no");
    } else if (word == "remove") {
      fs::remove_all(Rooted(rest));
    } else if (word == "cwd") {
      const fs::path now = fs::current_path();
      Show(": " + (now == start_ ? "where the run began" : now.string()));
    } else if (word == "advance") {
      if (!framework::AdvanceClock(std::chrono::seconds(std::stoi(rest)))) Show(": clock refused");
      framework::TickTimers();
    } else if (word == "unload") {
      world_->host().UnloadPlugin();
    } else if (word == "load") {
      world_->host().LoadPlugin();
    } else if (word == "timers") {
      for (const auto& name : framework::TimerCallbackNames()) Show(": " + game::ToUtf8(name));
    } else if (word == "collect") {
      world_->CollectGarbage();
    }
    ShowEffects(logged, journaled, blocks);
  }

  // The game calls (replies left out, they are shown above), log lines and kept blocks since.
  void ShowEffects(std::size_t logged, std::size_t journaled, int64_t blocks) {
    const auto& journal = world_->journal_lines();
    for (std::size_t i = journaled; i < journal.size(); ++i)
      if (json::parse(journal[i])["fn"] != sym::RCONClientConnection::SendMessage.name)
        Show("= " + journal[i]);
    const auto lines = world_->host().log().lines();
    // Without the time stamp, which starts each line up to the logger's name, and with the
    // durations measured (as "12ms") shown as "#ms".
    static const std::regex kDuration(R"(\b\d+ms\b)");
    for (std::size_t i = logged; i < lines.size(); ++i) {
      const std::string line = lines[i].substr(std::min(lines[i].find('['), lines[i].size()));
      Show("| " + std::regex_replace(line, kDuration, "#ms"));
    }
    if (world_->live_blocks() != blocks)
      Show(": blocks " + std::to_string(world_->live_blocks() - blocks));
  }

  // The text with the temporary root, in either slash form, shown as <root>.
  std::string Rootless(std::string text) const {
    if (world_ == nullptr || world_->root().empty()) return text;
    std::string host_root = world_->root();
    for (char& c : host_root)
      if (c == '/') c = '\\';
    for (const std::string& root : {world_->root(), host_root})
      for (auto at = text.find(root); at != std::string::npos; at = text.find(root, at))
        text.replace(at, root.size(), "<root>");
    return text;
  }

  void Show(const std::string& text) {
    std::string line = Rootless(text);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out_ << line << '\n';
  }

  fs::path Rooted(const std::string& path) const {
    return fs::path(world_->root()) / Unescaped(path);
  }

  // Commands may move the current directory; the next world starts where the run began.
  void EndWorld() {
    world_.reset();
    fs::current_path(start_);
  }

  fs::path folder_;
  fs::path start_;
  std::unique_ptr<support::TestWorld> world_;
  std::ostringstream out_;
};

// The first line where the two differ, for the failure message.
std::string FirstDifference(const std::string& want, const std::string& got) {
  std::istringstream a(want), b(got);
  std::string x, y;
  for (int n = 1;; ++n) {
    const bool more_a = static_cast<bool>(std::getline(a, x));
    const bool more_b = static_cast<bool>(std::getline(b, y));
    if (!more_a && !more_b) return "";
    if (!more_a || !more_b || x != y)
      return "line " + std::to_string(n) + ":\n  want: " + (more_a ? x : "<end>") +
             "\n  got:  " + (more_b ? y : "<end>");
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: transcripts_test FOLDER [--regenerate]\n";
    return 2;
  }
  const fs::path folder = fs::absolute(argv[1]);
  const bool regenerate = argc > 2 && std::string(argv[2]) == "--regenerate";
  int failed = 0;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.path().extension() == ".transcript") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    const std::string want = ReadFile(file);
    const std::string got = Run(folder).Replay(want);
    if (regenerate) {
      std::ofstream(file, std::ios::binary) << got;
    } else if (got != want) {
      ++failed;
      std::cerr << file.filename().string() << " differs at " << FirstDifference(want, got) << "\n";
    }
  }
  std::cout << files.size() << " transcripts, " << failed << " differ"
            << (regenerate ? " (regenerated)" : "") << "\n";
  return failed == 0 && !files.empty() ? 0 : 1;
}
