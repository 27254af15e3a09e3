// Baselines for the dump commands: each writes the very file its command writes (same name,
// same bytes), straight from the game stand-in's objects with fmt into one buffer and one
// write. They are the floor a dump command is measured against: what is left of its cost
// besides formatting the text and writing it is the plugin's own.
#pragma once

#include <cstddef>
#include <string>

namespace bench {

enum class DumpFile {
  kNone,
  kActorPos,            // GetActorPos <class>: one line per actor of the class
  kAllActorsPos,        // GetAllActorsPos: one line per dino and structure
  kAllActors,           // GetAllActors: a count per class name
  kAllActorsBp,         // GetAllActorsBp: a count per blueprint, by count
  kAllDinos,            // GetAllDinos: a count per dino blueprint
  kAllStructures,       // ListAllStructures: one blueprint line per owned structure
  kStructuresInRadius,  // ListAllStructuresInRadius: the tamed structures in a sphere, grouped
};

// The sphere of kStructuresInRadius, as its command's four words give it.
struct Sphere {
  float x = 0, y = 0, z = 0, radius = 0;
};

// The name the command gives its file, e.g. "AllActors.txt".
const char* DumpFileName(DumpFile file);

// Writes `file`'s text for the installed world into `folder`/<its name> and returns its size.
// `class_name` is GetActorPos's word; `sphere` is kStructuresInRadius's.
std::size_t WriteDumpBaseline(DumpFile file, const char* class_name, const Sphere& sphere,
                              const std::string& folder);

}  // namespace bench
