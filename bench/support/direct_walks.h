// Baselines for the walking commands: the same result computed by direct field access on the
// game stand-in's own objects, without symbolic names, the plugin or the RCON dispatch. A
// command's row in the table names its baseline by what it does (count, list, dump, group or
// destroy), which actors it selects, by which team and, optionally, by which class name.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

enum class Work {
  kCount,    // a number in the reply
  kList,     // one line per actor (name and position) in the reply
  kDump,     // the same lines written to a file
  kGroup,    // a count per class, written to a file
  kDestroy,  // destroys the actors (run on a fresh copy of the world)
  kFeed,     // fills each dino's food to its maximum
};
enum class Select {
  kDinos,
  kStructures,
  kDinosAndStructures,
  kPawns,       // dinos and player characters
  kCharacters,  // player characters
  kOthers,      // the other actors (neither players, dinos nor structures)
  kPlaced,      // every actor but the controllers
  kAllActors,
};
enum class Team { kAny, kTamed, kWild, kUnclaimed, kBenchTribe };

struct Baseline {
  Work work;
  Select select;
  Team team;
  const char* class_name = nullptr;  // only actors of this class, when given
};

// Runs the baseline on the installed world and returns a size to keep the optimiser honest.
// Dump files are written into `folder`.
std::size_t RunDirect(const Baseline& baseline, const std::string& folder);

}  // namespace bench
