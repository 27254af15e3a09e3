// The only platform-specific file of the plugin: the library entry shim (dlopen/dlclose run
// the entry room's LibraryEntry with attach/detach), the path mapping, the clocks and the
// file-system steps.
#include "core/platform.h"

#include <filesystem>
#include <system_error>

#include "entry/library_entry.h"
#include "sdk/clock.h"

// The unit-test archive takes everything here but the shim.
#ifndef ORVANE_WITHOUT_ENTRY_SHIM
namespace {

__attribute__((constructor)) void OnLibraryLoaded() { orvane::LibraryEntry(1); }
__attribute__((destructor)) void OnLibraryUnloading() { orvane::LibraryEntry(0); }

}  // namespace
#endif

namespace {

namespace fs = std::filesystem;

// The errors that mean "no such path" rather than a failure.
bool IsNotFound(const std::error_code& error) {
  return error == std::errc::no_such_file_or_directory || error == std::errc::not_a_directory ||
         error == std::errc::filename_too_long;
}

}  // namespace

namespace orvane::platform {

std::string NativePath(std::string host_path) {
  for (char& c : host_path)
    if (c == '\\') c = '/';
  return host_path;
}

// On this platform both clocks are the framework's, which the stand-in server can move forward.
int64_t CalendarSeconds() { return HostApi::GetClock().CalendarSeconds(); }

std::chrono::steady_clock::time_point MonotonicNow() { return HostApi::GetClock().MonotonicNow(); }

void SetCurrentDirectory(const std::string& host_path) { fs::current_path(NativePath(host_path)); }

bool PathExists(const std::string& host_path) {
  const fs::path path = NativePath(host_path);
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  if (error && !IsNotFound(error)) throw fs::filesystem_error("cannot read status", path, error);
  return fs::exists(status);
}

bool RemoveFile(const std::string& host_path) { return fs::remove(NativePath(host_path)); }

}  // namespace orvane::platform
