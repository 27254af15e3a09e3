// Where "emu.state FILE" may write when the request comes over RCON: only inside the server
// root's state folder, so that a remote client cannot overwrite any file the server process
// may write. The console and --exec write where they are told. Pure, apart from reading the
// file system to resolve symbolic links.
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

}  // namespace server
