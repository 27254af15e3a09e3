// The only platform-specific file of the plugin: the library entry shim (dlopen/dlclose run
// the entry with attach/detach), the path mapping and the clocks.
#include "core/platform.h"

#include "core/library_entry.h"
#include "sdk/clock.h"

// The unit-test archive takes the paths and clocks without the shim.
#ifndef ORVANE_WITHOUT_ENTRY_SHIM
namespace {

__attribute__((constructor)) void OnLibraryLoaded() { orvane::LibraryEntry(1); }
__attribute__((destructor)) void OnLibraryUnloading() { orvane::LibraryEntry(0); }

}  // namespace
#endif

namespace orvane::platform {

std::string NativePath(std::string host_path) {
  for (char& c : host_path)
    if (c == '\\') c = '/';
  return host_path;
}

// On this platform both clocks are the framework's, which the stand-in server can move forward.
int64_t CalendarSeconds() { return HostApi::GetClock().CalendarSeconds(); }

std::chrono::steady_clock::time_point MonotonicNow() { return HostApi::GetClock().MonotonicNow(); }

}  // namespace orvane::platform
