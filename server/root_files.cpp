#include "server/root_files.h"

#include "game/journal/journal.h"

namespace server {

namespace fs = std::filesystem;

RootFiles ListRootFiles(const fs::path& root) {
  RootFiles files;
  std::error_code error;
  for (const char* part : kWrittenParts) {
    for (auto it = fs::recursive_directory_iterator(root / part, error);
         !error && it != fs::end(it); it.increment(error)) {
      std::error_code ignored;
      if (!it->is_regular_file(ignored)) continue;
      files[fs::relative(it->path(), root, ignored).generic_string()] = {
          it->file_size(ignored), it->last_write_time(ignored)};
    }
    error.clear();
  }
  return files;
}

FileChanges CompareRootFiles(const RootFiles& before, const RootFiles& after) {
  FileChanges changes;
  for (const auto& [path, stamp] : before) {
    auto now = after.find(path);
    if (now == after.end())
      changes.removed.push_back(path);
    else if (now->second != stamp)
      changes.changed.push_back(path);
  }
  for (const auto& [path, stamp] : after)
    if (before.count(path) == 0) changes.created.push_back(path);
  return changes;
}

void JournalFileChanges(const FileChanges& changes) {
  const game::Journal* journal = game::ActiveJournal();
  if (journal == nullptr || !journal->enabled()) return;
  for (const std::string& path : changes.created) journal->WriteEffect("file.created", path);
  for (const std::string& path : changes.removed) journal->WriteEffect("file.removed", path);
  for (const std::string& path : changes.changed) journal->WriteEffect("file.changed", path);
}

}  // namespace server
