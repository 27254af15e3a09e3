#include "diagnostics/stress_values.h"

namespace orvane::diagnostics {

StressValues& CurrentStressValues() {
  static StressValues values;
  return values;
}

void ReadStressValues(const CommandArgs& args, StressValues& values) {
  if (args.Num() < 3) return;
  values = StressValues{.value_to_stress = 50000, .value_to_find = 49999};
  values.value_to_stress = args.Stoi(1);
  values.value_to_find = args.Stoi(2);
}

}  // namespace orvane::diagnostics
