// What the plugin needs of the operating system beyond the SDK: the native form of the
// host's backslash paths and the two clocks. The library entry shim lives beside them.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace orvane::platform {

// Every backslash becomes the native separator.
std::string NativePath(std::string host_path);
// Calendar time in whole seconds.
int64_t CalendarSeconds();
// The monotonic high-resolution clock.
std::chrono::steady_clock::time_point MonotonicNow();

}  // namespace orvane::platform
