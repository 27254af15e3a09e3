// Where "emu.state FILE" may write when the request comes over RCON: only inside the server
// root's state folder, so that a remote client cannot overwrite any file the server process
// may write. The console and --exec write where they are told. RemoteStatePath is pure, apart
// from reading the file system to resolve symbolic links; WriteBeneath writes.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace server {

// The state folder of a server root: <root>/state.
std::filesystem::path StateFolder(const std::filesystem::path& root);

// The file that `file` names for an RCON request: a relative name is taken inside `folder`, an
// absolute one must already lie inside it; symbolic links are followed before the check, and a
// link that leads to no file yet is refused. nullopt when the file would lie outside `folder`
// (or be the folder itself).
std::optional<std::filesystem::path> RemoteStatePath(std::string_view file,
                                                     const std::filesystem::path& folder);

// Writes `text` to `file` (a path RemoteStatePath gave for `folder`) without following any
// link beneath the folder, whatever has changed since the check: each folder on the way is
// opened from the one before it, refusing links, and the text goes to a new temporary file
// that is then renamed over `file` (a link there is replaced, never followed). False when that
// fails; nothing outside the folder is touched either way.
bool WriteBeneath(const std::filesystem::path& folder, const std::filesystem::path& file,
                  std::string_view text);

}  // namespace server
