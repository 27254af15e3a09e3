// RunServer: orvane-server's life. Builds the server root and the world, starts the framework
// and loads the plugin, runs the --exec lines, and then (unless they were all there was to do)
// serves the console and RCON until SIGINT or SIGTERM, when it unloads the plugin, closes the
// listener and returns. The calling thread becomes the game thread.
#pragma once

#include <string>

#include "server/options.h"

namespace server {

// Returns the process exit code. Errors at start (bad world file, plugin, port) are printed
// to standard error and give 1. `executable_dir` locates the default plugin.
// REQUIRES: called once per process (it owns the framework's registry and sinks).
int RunServer(const ServerOptions& options, const std::string& executable_dir);

}  // namespace server
