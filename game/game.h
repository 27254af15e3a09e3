// Game: the game server stand-in as the server and the tests see it. A Game is built from a
// world file (JSON, schema in the design notes), registers every symbolic member with the
// framework and tells the framework its running objects. One Game is installed at a time.
// Thread: the game thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "game/world/world_description.h"

namespace game {

// The embedded default world: a few tribes, about ten players, hundreds of dinos, thousands of
// structures, some other actors and profile files.
std::string_view DefaultWorldJson();

class Game {
 public:
  // Parses and builds the world; throws WorldFileError and builds nothing on a bad file.
  // `root` is the server root: the save folder, the map folder and the world's profile files
  // are made under it. An empty root makes no files.
  static std::unique_ptr<Game> Create(std::string_view world_json, const std::string& root);
  // Builds the world from a WorldDescription made in code (a benchmark's generated world), checked
  // as a world file is (duplicate ids, classes that cannot be made).
  static std::unique_ptr<Game> Create(const WorldDescription& description, const std::string& root);
  virtual ~Game() = default;

  // Registers every game member with the framework and makes this game's world the one the
  // members act on and the framework reports (replacing any other).
  virtual void Install() = 0;

  // The current state in the world-file schema plus what game functions recorded and
  // "memory": {"live_blocks", "live_bytes"}; loading it gives the same state again.
  virtual std::string ExportState() const = 0;

  // Destroys the controller of the player with this EOS id; its entry in the controller list
  // goes stale. False when no live controller has that id.
  virtual bool Disconnect(std::u16string_view eos_id) = 0;

  // Receives each journal line (one JSON object, no newline) as acting calls happen.
  virtual void SetJournalSink(std::function<void(const std::string& line)> sink) = 0;

  // Frees the actors destroyed so far. Destroyed actors leave the level and every query at
  // once, but their memory stays valid until this runs, as a game keeps pending-kill objects
  // until its next collection: call it between requests, never inside a handler.
  virtual void CollectGarbage() = 0;
};

}  // namespace game
