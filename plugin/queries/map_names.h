// The running map's display name, and the save folders of the running server worked out from
// the game mode's save directory name and the server's working directory.
// Thread: the game thread.
#pragma once

#include <sdk/fstring.h>

namespace orvane {

// The display name of the first table key found in `map_name` (ignoring case), else the name.
FString MapDisplayName(FString map_name);

struct SaveDirectories {
  FString save_subpath;    // "\Saved\<save directory name>"
  FString save_folder;     // the working directory with "\Binaries\Win64" replaced by the above
  FString map_folder;      // the save folder and "\TheIsland_WP"
  FString cluster_folder;  // the save folder and "\Cluster"
};
// Worked out afresh at every call; logs the save directory name and the save folder.
void ResolveSaveDirectories(FString& save_subpath, FString& save_folder, FString& map_folder,
                            FString& cluster_folder);
SaveDirectories ResolveSaveDirectories();

}  // namespace orvane
