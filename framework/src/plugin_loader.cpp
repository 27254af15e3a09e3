#include "framework/host/plugin_loader.h"

#include <dlfcn.h>

#include <stdexcept>

#include "framework/host/address_table.h"
#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"

namespace framework {

std::unique_ptr<LoadedPlugin> LoadedPlugin::Load(const std::string& path) {
  void* handle = nullptr;
  {
    OwnerScope owner(path);  // what the plugin's entry registers belongs to it
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  RefreshLoadedImages();
  if (handle == nullptr) {
    const char* error = dlerror();
    throw std::runtime_error("cannot load plugin " + path + ": " + (error ? error : "unknown"));
  }
  return std::unique_ptr<LoadedPlugin>(new LoadedPlugin(path, handle));
}

LoadedPlugin::~LoadedPlugin() {
  {
    OwnerScope owner(path_);
    using UnloadFn = void (*)();
    if (auto unload = reinterpret_cast<UnloadFn>(dlsym(handle_, "Plugin_Unload"))) unload();
    dlclose(handle_);
  }
  RefreshLoadedImages();
  // Entries left behind would call into unmapped code.
  if (int left = RemoveEntriesOf(path_); left > 0)
    FrameworkLog().warn("Plugin {} left {} registrations behind; removed", path_, left);
}

}  // namespace framework
