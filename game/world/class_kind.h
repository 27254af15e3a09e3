// ClassKind: what a world file may make an instance of a class as. Both the game's own class
// tree (native_classes.h) and the world description name it, so it stands apart from either.
// Pure data, any thread.
#pragma once

namespace game {

enum class ClassKind { kDino, kStructure, kPawn, kActor, kItem };

}  // namespace game
