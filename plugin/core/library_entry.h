// The library entry: the loader calls it with process attach (1) after loading and process
// detach (0) before unloading; other reasons are ignored. Always returns 1.
#pragma once

namespace orvane {

int LibraryEntry(int reason);

}  // namespace orvane

// Called by the framework before it unloads the library: removes the timer callback.
extern "C" __attribute__((visibility("default"))) void Plugin_Unload();
