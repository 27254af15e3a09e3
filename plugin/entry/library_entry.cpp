#include "entry/library_entry.h"

#include <sdk/api.h>

#include "commands/timed_sweeps.h"
#include "core/command_table.h"
#include "core/plugin_logger.h"
#include "entry/command_rows.h"

namespace orvane {
namespace {

// The loader runs these on dlopen and dlclose.
__attribute__((constructor)) void OnLibraryLoaded() {
  PluginLogger::Create();
  Load(CommandRows());
  // Not counted: the timer callback is no command.
  HostApi::GetCommands().AddOnTimerCallback(FString(kSweepTimerName), &TimedDestroyTribeStructures);
  PluginLogger::Get().info("Added an additional: {} commands!", RegistrationCount());
}

__attribute__((destructor)) void OnLibraryUnloading() {
  Unload(CommandRows());
  PluginLogger::Get().info("Unloaded additional commands");
}

}  // namespace
}  // namespace orvane

extern "C" void Plugin_Unload() {
  HostApi::GetCommands().RemoveOnTimerCallback(FString(orvane::kSweepTimerName));
}
