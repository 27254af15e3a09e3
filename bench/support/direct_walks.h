// Baselines for the walking commands: the same result computed by direct field access on the
// game stand-in's own objects, without symbolic names, the plugin or the RCON dispatch. A
// command's row in the table names its baseline by what it does (count, list, group, destroy,
// feed, or write a dump command's file), which actors it selects, by which team and,
// optionally, by which class name.
#pragma once

#include <cstddef>
#include <string>

#include "bench/support/dump_baselines.h"

namespace bench {

enum class Work {
  kCount,    // a number in the reply
  kList,     // one line per actor (name and position) in the reply
  kGroup,    // a count per class, written to a file
  kDestroy,  // destroys the actors (run on a fresh copy of the world)
  kFeed,     // fills each dino's food to its maximum
  kFile,     // the very file a dump command writes (dump_baselines.h)
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
  DumpFile file = DumpFile::kNone;   // kFile: which file
  Sphere sphere = {};                // kFile: the sphere of the radius dump
};

// Runs the baseline on the installed world and returns a size to keep the optimiser honest.
// Files are written into `folder`.
std::size_t RunDirect(const Baseline& baseline, const std::string& folder);

}  // namespace bench
