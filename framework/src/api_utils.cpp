#include <string>

#include "framework/host/running_game.h"
#include "sdk/api.h"
#include "sdk/game_members.h"

namespace framework {
namespace {

FString NetIdOf(AShooterPlayerController* controller) {
  FString id;
  sym::Resolve(sym::AShooterPlayerController::GetUniqueNetIdAsString)(controller, &id);
  return id;
}

struct ApiUtils final : HostApi::IApiUtils {
  RunningGame game;
  std::string current_dir;

  UWorld* CurrentWorld() const override { return game.world; }
  AShooterGameMode* CurrentGameMode() const override { return game.game_mode; }
  UShooterCheatManager* CurrentCheatManager() const override { return game.cheat_manager; }

  // Walks the world's controller list: stale entries are passed over, the id must match exactly.
  AShooterPlayerController* FindPlayerByEosId(const FString& eos_id) const override {
    if (game.world == nullptr) return nullptr;
    const auto& list = *static_cast<decltype(sym::UWorld::PlayerControllerList)::Type*>(
        GetAddress(game.world, sym::UWorld::PlayerControllerList.name));
    auto get = sym::Resolve(sym::FWeakObjectPtr::Get);
    for (const auto& weak : list) {
      auto* controller = static_cast<AShooterPlayerController*>(get(&weak, false));
      if (controller != nullptr && NetIdOf(controller).Equals(eos_id, ESearchCase::CaseSensitive))
        return controller;
    }
    return nullptr;
  }
};

ApiUtils& GetUtils() {
  static ApiUtils utils;
  return utils;
}

}  // namespace

void SetRunningGame(const RunningGame& game) { GetUtils().game = game; }

void SetCurrentDir(std::string dir) { GetUtils().current_dir = std::move(dir); }

std::string BinariesDirOf(const std::string& root) {
  std::string dir = root;
  for (char& c : dir)
    if (c == '/') c = '\\';
  while (dir.size() > 1 && dir.back() == '\\') dir.pop_back();
  return dir + "\\Binaries\\Win64";
}

}  // namespace framework

namespace HostApi {

IApiUtils& GetApiUtils() { return framework::GetUtils(); }

FString IApiUtils::GetEOSIDFromController(AController* controller) {
  return framework::NetIdOf(static_cast<AShooterPlayerController*>(controller));
}

std::string Tools::GetCurrentDir() { return framework::GetUtils().current_dir; }

}  // namespace HostApi
