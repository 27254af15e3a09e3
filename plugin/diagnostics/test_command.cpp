// "TestCommand": runs the container stress test and reports it in the log only; the client
// gets no reply, whatever happens.
#include <exception>

#include "commands/command_groups.h"
#include "core/plugin_logger.h"
#include "diagnostics/container_stress.h"
#include "diagnostics/stress_values.h"

namespace orvane {
namespace {

void TestCommand(Request& request) {
  const diagnostics::MonotonicTime started = platform::MonotonicNow();
  spdlog::logger& log = PluginLogger::Get();
  log.info("################ Stress Test Started ################");
  const CommandArgs& args = request.Args();
  diagnostics::StressValues& values = diagnostics::CurrentStressValues();
  try {
    diagnostics::ReadStressValues(args, values);
  } catch (const std::exception& e) {
    log.error("{}", e.what());
    return;
  }
  // Checked at every run, since a stored value outlives the run that set it.
  if (values.value_to_stress > diagnostics::kMaxValueToStress) {
    log.error(
        "Stress Test refused: value_to_stress {} is above the limit of {} (about {} MB for the "
        "seven containers)",
        values.value_to_stress, diagnostics::kMaxValueToStress,
        int64_t{diagnostics::kMaxValueToStress} * diagnostics::kBytesPerValue / 1000000);
    return;
  }
  if (args.Num() == 1) {
    log.info("(Stress Test Started with default values)");
  } else {
    log.info("(Stress Test Values: value_to_stress: {} - value_to_find: {})",
             values.value_to_stress, values.value_to_find);
  }
  log.info("");
  diagnostics::RunInsertionPhase(values.value_to_stress);
  log.info("");
  diagnostics::RunSearchPhase(values.value_to_find);
  const int64_t total = diagnostics::WholeMillisecondsSince(started);
  log.info("");
  log.info("Total Stress Summery {}ms", total);
  log.info("################ Stress Test Ended ################");
}

}  // namespace

std::span<const CommandRow> StressTestRows() {
  static constexpr CommandRow kRows[] = {
      {77, "TestCommand", &TestCommand},
  };
  return kRows;
}

}  // namespace orvane
