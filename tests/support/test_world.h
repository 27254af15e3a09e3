// TestWorld: a TestHost with a Game built from a world file (JSON) and installed, the journal
// captured line by line and the state export parsed, for end-to-end tests of plugin commands.
// With `make_root` the world gets a fresh server root in a temporary folder (save folder and
// profiles, the plugin's dump folder, the framework's current directory), removed afterwards.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "game/game.h"
#include "sdk/game_members.h"
#include "tests/support/test_host.h"

namespace support {

// The field `member` of `object`, reached by its symbolic name as the plugin reaches it.
template <class Owner, class T, class Object>
T& FieldOf(Object* object, sym::Field<Owner, T> member) {
  return *static_cast<T*>(GetAddress(static_cast<const void*>(object), member.name));
}

// Calls the game function `member`, resolved by its symbolic name as the plugin calls it.
template <class R, class... Params, class... Args>
R CallGame(sym::Function<R(Params...)> member, Args&&... args) {
  return sym::Resolve(member)(std::forward<Args>(args)...);
}

class TestWorld {
 public:
  struct Options {
    bool load_plugin = false;
    bool make_root = false;
  };
  // Throws game::WorldFileError for a bad world.
  explicit TestWorld(std::string_view world_json, Options options);
  explicit TestWorld(std::string_view world_json) : TestWorld(world_json, Options{}) {}
  ~TestWorld();
  TestWorld(const TestWorld&) = delete;
  TestWorld& operator=(const TestWorld&) = delete;

  TestHost& host() { return host_; }
  game::Game& game() { return *game_; }

  // Dispatches one request and returns its replies. Destroyed actors have left every query
  // at once; their memory stays until CollectGarbage, so a live-block count taken around a
  // request shows only what the request itself allocated.
  std::vector<game::RconReply> Dispatch(const std::u16string& line, int32_t id = 7,
                                        int32_t type = 2);
  void CollectGarbage() { game_->CollectGarbage(); }
  // The reply texts of one request, as UTF-8.
  std::vector<std::string> Replies(const std::u16string& line);

  const std::vector<std::string>& journal_lines() const { return journal_; }
  // Each journal line parsed.
  std::vector<nlohmann::json> Journal() const;
  // The lines whose "fn" is `fn`.
  std::vector<nlohmann::json> JournalOf(std::string_view fn) const;

  // The state export, parsed; "memory" included.
  nlohmann::json State() const;
  int64_t live_blocks() const { return host_.live_blocks(); }

  // The server root ("" without make_root) and the plugin's dump folder in it.
  const std::string& root() const { return root_; }
  std::string plugin_folder() const;

 private:
  TestHost host_;
  std::string root_;
  std::unique_ptr<game::Game> game_;
  std::vector<std::string> journal_;
};

}  // namespace support
