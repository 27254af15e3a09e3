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
  // A name that starts before `safe` ends within `text`.
  auto safe_in = [this](std::string_view text) {
    return text.size() >= longest_ ? text.size() - (longest_ - 1) : 0;
  };
  if (!pending_.empty()) {
    const std::size_t kept = pending_.size();
    if (piece.size() <= longest_) {
      pending_ += piece;
      pending_.erase(0, Emit(pending_, safe_in(pending_), out));
      return;
    }
    // A name that starts in what was kept back ends within the piece's first `longest_` bytes.
    pending_ += piece.substr(0, longest_);
    piece.remove_prefix(Emit(pending_, kept, out) - kept);
    pending_.clear();
  }
  // The rest of a piece is read where it lies.
  pending_.assign(piece.substr(Emit(piece, safe_in(piece), out)));
}

void RootRenamer::Flush(std::string& out) {
  Emit(pending_, pending_.size(), out);
  pending_.clear();
}

std::string RootRenamer::operator()(std::string_view text) {
  std::string out;
  Append(text, out);
  Flush(out);
  return out;
}

std::size_t RootRenamer::Emit(std::string_view text, std::size_t safe, std::string& out) const {
  std::size_t done = 0;
  for (;;) {
    std::size_t at = std::string::npos;
    const std::pair<std::string, std::string>* found = nullptr;
    for (const auto& name : names_) {
      const std::size_t next = text.find(name.first, done);
      if (next < at) {
        at = next;
        found = &name;
      }
    }
    if (found == nullptr || at >= safe) break;
    out.append(text.substr(done, at - done)).append(found->second);
    done = at + found->first.size();
  }
  if (done < safe) {
    out.append(text.substr(done, safe - done));
    done = safe;
  }
  return done;
}

}  // namespace server
