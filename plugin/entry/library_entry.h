// The library entry: the platform shim (core/platform.cpp) calls it with process attach (1)
// after the library is loaded and process detach (0) before it is unloaded; other reasons are
// ignored. Always returns 1. Attach builds the logger, registers the commands and the timer;
// detach removes the commands. Thread: the loader's thread.
#pragma once

namespace orvane {

int LibraryEntry(int reason);

}  // namespace orvane

// Called by the framework before it unloads the library: removes the timer callback.
extern "C" __attribute__((visibility("default"))) void Plugin_Unload();
