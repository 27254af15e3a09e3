// PluginLogger: the plugin's named logger ("Orvane") over the framework's shared sinks.
// The holder is created once, thread-safely, on first use and destroyed with the library.
#pragma once

#include <spdlog/logger.h>

namespace orvane {

class PluginLogger {
 public:
  // The logger; built over the shared sinks if Create has not run yet.
  static spdlog::logger& Get();
  // Builds the logger: shared sinks, pattern "%D %R [%n][%l] %v", flush on info. Replaces any
  // logger held before.
  static void Create();
};

}  // namespace orvane
