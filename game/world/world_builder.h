// WorldBuilder: makes the live World from its description: the game's own classes and those the
// description lists, the world's singletons (world, level, game mode and state, settings, cheat
// manager, tribe record type), then players, dinos, structures and other actors in description
// order, and the profile files under the server root.
// Thread: the game thread.
#pragma once

#include <memory>
#include <string>

#include "game/world/world.h"
#include "game/world/world_description.h"

namespace game {

class WorldBuilder {
 public:
  // REQUIRES: CheckWorldDescription(description) passed. Registers the allocator first (every
  // FString of the world takes host memory). A non-empty root gets the save folder and the
  // profile files.
  static std::unique_ptr<World> Build(const WorldDescription& description, const std::string& root);

 private:
  WorldBuilder(World& world, const WorldDescription& description)
      : w_(world), description_(description) {}
  void CopySettings(const std::string& root);
  void AddKnownNames();
  void BuildClasses();
  void BuildSingletons();
  void BuildPlayers();
  void BuildDinos();
  void BuildStructures();
  void BuildActors();
  void CountPlayersConnected();
  void MakeProfiles(const std::string& root);

  World& w_;
  const WorldDescription& description_;
};

}  // namespace game
