// RootRenamer: a preview's copy runs in a scratch root, so its texts name that root where the
// live run would name the live one; the renamer puts the live root's names back into the copy's
// report as it arrives. The report is JSON text, so the names are matched in their JSON-escaped
// forms, in pieces cut anywhere (a name cut at a piece's end waits for the next piece).
// Thread: any, one at a time.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace server {

class RootRenamer {
 public:
  // Both the root as this machine names it and as the game names it (its host path).
  RootRenamer(const std::filesystem::path& scratch, const std::filesystem::path& root);
  // Appends `piece`, renamed, to `out`, but for the end of it that may begin a name.
  void Append(std::string_view piece, std::string& out);
  // Appends what Append kept back.
  void Flush(std::string& out);
  // `text` renamed whole.
  std::string operator()(std::string_view text);

 private:
  // Appends `text` renamed up to `safe` (past it when a name starting before it runs on) and
  // says how far it went.
  std::size_t Emit(std::string_view text, std::size_t safe, std::string& out) const;

  std::vector<std::pair<std::string, std::string>> names_;  // scratch's, the live root's
  std::size_t longest_ = 1;
  std::string pending_;
};

}  // namespace server
