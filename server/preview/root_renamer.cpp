#include "server/preview/root_renamer.h"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "framework/host/running_game.h"

namespace server {
namespace {

std::string HostRoot(const std::filesystem::path& path) {
  std::string dir = framework::BinariesDirOf(path.string());
  return dir.substr(0, dir.size() - std::string_view("\\Binaries\\Win64").size());
}

std::string JsonEscaped(const std::string& text) {
  const std::string quoted = nlohmann::json(text).dump();
  return quoted.substr(1, quoted.size() - 2);
}

}  // namespace

RootRenamer::RootRenamer(const std::filesystem::path& scratch, const std::filesystem::path& root) {
  for (const auto& [from, to] :
       {std::pair(scratch.string(), root.string()), std::pair(HostRoot(scratch), HostRoot(root))}) {
    names_.emplace_back(JsonEscaped(from), JsonEscaped(to));
    longest_ = std::max(longest_, names_.back().first.size());
  }
}

void RootRenamer::Append(std::string_view piece, std::string& out) {
  pending_ += piece;
  // A name that starts before `safe` ends within what is pending.
  Emit(pending_.size() >= longest_ ? pending_.size() - (longest_ - 1) : 0, out);
}

void RootRenamer::Flush(std::string& out) { Emit(pending_.size(), out); }

std::string RootRenamer::operator()(std::string_view text) {
  std::string out;
  Append(text, out);
  Flush(out);
  return out;
}

void RootRenamer::Emit(std::size_t safe, std::string& out) {
  std::size_t done = 0;
  for (;;) {
    std::size_t at = std::string::npos;
    const std::pair<std::string, std::string>* found = nullptr;
    for (const auto& name : names_) {
      const std::size_t next = pending_.find(name.first, done);
      if (next < at) {
        at = next;
        found = &name;
      }
    }
    if (found == nullptr || at >= safe) break;
    out.append(pending_, done, at - done).append(found->second);
    done = at + found->first.size();
  }
  if (done < safe) {
    out.append(pending_, done, safe - done);
    done = safe;
  }
  pending_.erase(0, done);
}

}  // namespace server
