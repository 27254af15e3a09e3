// The files under the server root that the plugin writes (its folder, with the dump files, and
// the save folder, with the profiles), and what changed between two looks at them. Requests that
// change files have those changes journaled ({"fn": "file.created"|"file.removed"|"file.changed",
// "self": null, "args": [PATH]}, PATH relative to the root); the preview reports them.
// Thread: any (the journal's functions: the game thread).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace server {

// The parts of the root the plugin writes, relative to it.
inline constexpr const char* kWrittenParts[] = {"Binaries/Win64/HostApi/Plugins/Orvane", "Saved"};

// Regular files by path relative to the root, with what tells a change: size and modification
// time.
using RootFiles = std::map<std::string, std::pair<std::uintmax_t, std::filesystem::file_time_type>>;
RootFiles ListRootFiles(const std::filesystem::path& root);

struct FileChanges {
  std::vector<std::string> created, removed, changed;
};
FileChanges CompareRootFiles(const RootFiles& before, const RootFiles& after);

// One journal line per change, on the active journal when it records.
void JournalFileChanges(const FileChanges& changes);

}  // namespace server
