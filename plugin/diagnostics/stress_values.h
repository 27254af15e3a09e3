// The two values a container stress test runs with, and how a run's words change them.
// Thread: the game thread.
#pragma once

#include <cstdint>

#include "core/command_args.h"

namespace orvane::diagnostics {

struct StressValues {
  int32_t value_to_stress = 50000;  // each container receives 0 .. value_to_stress - 1
  int32_t value_to_find = 1000;     // the integer the search phase looks up
};

// The values every run uses; as above after loading, then whatever the last run left, until
// the library is unloaded.
StressValues& CurrentStressValues();

// With three or more words: resets `values` to 50000 and 49999, then stores word 1 and word 2
// (stoi) in turn. A failing conversion throws its standard exception and leaves what was stored
// before it. Fewer words leave the values as they stand.
void ReadStressValues(const CommandArgs& args, StressValues& values);

}  // namespace orvane::diagnostics
