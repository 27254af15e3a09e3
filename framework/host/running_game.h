// What the framework knows of the running game: the objects IApiUtils hands to plugins and the
// server's binaries folder. Set by the server (or a test) after the world is built.
#pragma once

#include <string>

#include "sdk/game_types.h"

namespace framework {

struct RunningGame {
  UWorld* world = nullptr;
  AShooterGameMode* game_mode = nullptr;
  UShooterCheatManager* cheat_manager = nullptr;
};

void SetRunningGame(const RunningGame& game);
// `dir` in backslash form, as GetCurrentDir returns it.
void SetCurrentDir(std::string dir);
// "/srv/w" becomes "\srv\w\Binaries\Win64".
std::string BinariesDirOf(const std::string& root);

}  // namespace framework
