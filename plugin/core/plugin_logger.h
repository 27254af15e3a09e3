// PluginLogger: the plugin's named logger ("Orvane") over the framework's shared sinks.
// The holder is a function-local static: the first Get or Create builds it, with its logger,
// under the compiler's one-time-initialisation guard, so concurrent first calls build it once.
// It is destroyed with the library. Thread: Get from any thread; Create from the loader's
// thread only (library attach, or a test), while no command or timer runs.
#pragma once

#include <spdlog/logger.h>

namespace orvane {

class PluginLogger {
 public:
  // The logger; built over the shared sinks at the first call if Create has not run yet.
  static spdlog::logger& Get();
  // Builds the logger afresh: shared sinks, pattern "%D %R [%n][%l] %v", flush on info.
  // Replaces the logger held before, so that it writes to the sinks registered now.
  static void Create();
};

}  // namespace orvane
