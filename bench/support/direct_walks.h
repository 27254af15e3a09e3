// Baselines for the walking commands: the same result computed by direct field access on the
// game stand-in's own objects, without symbolic names, the plugin or the RCON dispatch. A
// command's row in the table names its baseline by what it does (count, list, dump or destroy),
// which actors it selects and by which team.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

enum class Work {
  kCount,    // a number in the reply
  kList,     // one line per actor (name and position) in the reply
  kDump,     // the same lines written to a file
  kDestroy,  // destroys the actors (run on a fresh copy of the world)
  kFeed,     // fills each dino's food to its maximum
};
enum class Select { kDinos, kStructures, kAllActors };
enum class Team { kAny, kTamed, kWild, kUnclaimed, kBenchTribe };

struct Baseline {
  Work work;
  Select select;
  Team team;
};

// Runs the baseline on the installed world and returns a size to keep the optimiser honest.
// Dump files are written into `folder`.
std::size_t RunDirect(const Baseline& baseline, const std::string& folder);

}  // namespace bench
