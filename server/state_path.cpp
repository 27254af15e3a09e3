#include "server/state_path.h"

#include <algorithm>

namespace server {

namespace fs = std::filesystem;

fs::path StateFolder(const fs::path& root) { return root / "state"; }

std::optional<fs::path> RemoteStatePath(std::string_view file, const fs::path& folder) {
  std::error_code error;
  const fs::path base = fs::weakly_canonical(fs::absolute(folder, error), error);
  if (error || file.empty()) return std::nullopt;
  const fs::path named(file);
  const fs::path path = fs::weakly_canonical(named.is_absolute() ? named : base / named, error);
  if (error) return std::nullopt;
  // Inside: the folder's components are a proper prefix of the path's.
  const auto [in_base, in_path] = std::mismatch(base.begin(), base.end(), path.begin(), path.end());
  if (in_base != base.end() || in_path == path.end()) return std::nullopt;
  // A link that leads nowhere yet is left unresolved above; writing would follow it.
  if (fs::is_symlink(fs::symlink_status(path, error))) return std::nullopt;
  return path;
}

}  // namespace server
