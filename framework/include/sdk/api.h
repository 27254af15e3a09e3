// The framework's interface to a plugin: the command registry, the game's running objects,
// the shared log sinks and the server's working directory.
// Thread: the game thread, on which the framework runs handlers and timer callbacks.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sdk/game_types.h"

namespace spdlog::sinks {
class sink;
}

namespace HostApi {

using RconCallback = std::function<void(RCONClientConnection*, RCONPacket*, UWorld*)>;
using TimerCallback = std::function<void()>;

// The registry of RCON commands and timer callbacks. Command names match ignoring ASCII case.
class ICommands {
 public:
  virtual void AddRconCommand(const FString& name, const RconCallback& callback) = 0;
  // The callback runs on every timer tick until removed.
  virtual void AddOnTimerCallback(const FString& name, const TimerCallback& callback) = 0;
  virtual bool RemoveRconCommand(const FString& name) = 0;
  virtual bool RemoveOnTimerCallback(const FString& name) = 0;

 protected:
  ~ICommands() = default;
};

// The running game as the framework sees it.
class IApiUtils {
 public:
  virtual UWorld* CurrentWorld() const = 0;
  virtual AShooterGameMode* CurrentGameMode() const = 0;
  virtual UShooterCheatManager* CurrentCheatManager() const = 0;
  // The online (live) player controller with exactly this EOS id, or null.
  virtual AShooterPlayerController* FindPlayerByEosId(const FString& eos_id) const = 0;
  static FString GetEOSIDFromController(AController* controller);

 protected:
  ~IApiUtils() = default;
};

ICommands& GetCommands();
IApiUtils& GetApiUtils();

namespace Tools {
// The server's binaries folder in backslash form, e.g. "\srv\w\Binaries\Win64".
std::string GetCurrentDir();
}  // namespace Tools

}  // namespace HostApi

// The framework's shared, thread-safe log sinks; loggers of plugins are built over them.
std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks();
