#include "entry/library_entry.h"

#include <sdk/api.h>

#include "commands/timed_sweeps.h"
#include "core/command_table.h"
#include "core/plugin_logger.h"
#include "entry/command_rows.h"

namespace orvane {
namespace {

constexpr int kProcessDetach = 0;
constexpr int kProcessAttach = 1;

void OnAttach() {
  PluginLogger::Create();
  Load(CommandRows());
  // Not counted: the timer callback is no command.
  HostApi::GetCommands().AddOnTimerCallback(FString(kSweepTimerName), &TimedDestroyTribeStructures);
  PluginLogger::Get().info("Added an additional: {} commands!", RegistrationCount());
}

void OnDetach() {
  Unload(CommandRows());
  PluginLogger::Get().info("Unloaded additional commands");
}

}  // namespace

int LibraryEntry(int reason) {
  if (reason == kProcessAttach) OnAttach();
  if (reason == kProcessDetach) OnDetach();
  return 1;
}

}  // namespace orvane

extern "C" void Plugin_Unload() {
  HostApi::GetCommands().RemoveOnTimerCallback(FString(orvane::kSweepTimerName));
}
