// The library entry: the loader runs the load sequence after loading the library (logger,
// commands, timer) and the detach sequence before unloading it. Only the shared library
// holds this room's entry file; the unit tests link the plugin without it.
// Thread: the loader's thread.
#pragma once

// Called by the framework before it unloads the library: removes the timer callback.
extern "C" __attribute__((visibility("default"))) void Plugin_Unload();
