// What a build of orvane-server and of a loaded library is: the version the project gave it,
// the commit and build type it was configured from, and the GNU build id the linker stamped on
// the file (the same file gives the same id, any other build another). For emu.version.
// Thread: any.
#pragma once

#include <string>

namespace server {

// "orvane-server 1.0.0 (commit 1a2b3c4, Release, compiler 12.2.0, build-id 5d6e...)".
std::string ServerBuildText();

// The build id of the loaded library whose path is `path`, in hex; empty when no library of
// that path is loaded or it carries none.
std::string LoadedLibraryBuildId(const std::string& path);

}  // namespace server
