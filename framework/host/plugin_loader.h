// Loads a plugin library the way the framework does: dlopen (the plugin's entry runs with
// attach), and on release Plugin_Unload, dlclose (entry with detach), then removal of any
// entry the plugin left registered. Thread: the game thread.
#pragma once

#include <memory>
#include <string>

namespace framework {

class LoadedPlugin {
 public:
  // Throws std::runtime_error with the loader's message when the library cannot be loaded.
  static std::unique_ptr<LoadedPlugin> Load(const std::string& path);
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  const std::string& path() const { return path_; }

 private:
  LoadedPlugin(std::string path, void* handle) : path_(std::move(path)), handle_(handle) {}
  std::string path_;
  void* handle_;
};

}  // namespace framework
