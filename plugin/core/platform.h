// What the plugin needs of the operating system beyond the SDK: the native form of the
// host's backslash paths, the two clocks and the file-system steps of the profile removal.
// The library entry shim lives beside them.
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

// File-system steps on host paths (mapped by NativePath first). Each throws
// std::filesystem::filesystem_error on an error of the operating system; a path that is not
// there (missing, a missing folder on the way, a name the system cannot hold) is no error.
// Makes the folder the process's current directory.
void SetCurrentDirectory(const std::string& host_path);
// Whether something exists at the path; a relative path is taken from the current directory.
bool PathExists(const std::string& host_path);
// Removes the file; false when there was nothing to remove.
bool RemoveFile(const std::string& host_path);

}  // namespace orvane::platform
