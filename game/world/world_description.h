// WorldDescription: a world as plain data, the in-memory form of a world file. The reader fills it
// from JSON (world_file_reader.h), a benchmark may fill it directly, the builder makes the live
// world from it (world_builder.h), and the state export produces one from the live world, which
// the writer turns into JSON (world_file_writer.h). Texts are UTF-8. Keys the world file leaves
// out take the defaults written here; the few defaults that depend on other values (a player's
// tribe, a dino's ids, ...) are optional until the world is built.
// Also here: what every stage may reject a description with (WorldFileError), the checks that
// need the whole description, and the rule for default class paths, which the checks, the
// builder and the writer share.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "game/world/class_kind.h"

namespace game {

using Position = std::array<double, 3>;
using Colour = std::array<float, 4>;

enum class CharacterState { kAlive, kDead, kNone };

struct GameStateDescription {
  std::string day_time = "Day 1, 08:00:00";
  float framerate = 30.0F;
  // Defaults to the number of players online (not stale).
  std::optional<int32_t> players_connected;
};

struct WorldSettingsDescription {
  float longitude_origin = -400000.0F;
  float latitude_origin = -400000.0F;
  float longitude_scale = 800.0F;
  float latitude_scale = 800.0F;
};

struct ClassDescription {
  std::string name;
  ClassKind kind = ClassKind::kActor;
  // Full path name of the default object; defaults to /Game/Emulated/<Stem>.Default__<Name>.
  std::optional<std::string> path;
};

struct TribeDescription {
  int32_t id = 0;
  std::string name;
  std::vector<std::string> log;
  bool loadable = true;
};

// What the game recorded for a player.
struct ItemGift {
  std::string item;  // the catalogue entry
  int32_t quantity = 1;
  float quality = 0.0F;
  bool blueprint = false;
};
// One message delivered to a player, with every argument of its call. `kind` says which
// fields belong to it; the others keep their defaults.
struct InboxEntry {
  std::string kind;  // "chat", "notification" or "direct"
  std::string text;
  // Chat lines: the other fields of the chat record, in the record's order (the text is its
  // message); the icon as its REF.
  std::string sender;  // also direct messages: the sender id text
  std::string sender_account;
  std::string sender_tribe;
  uint32_t sender_id = 0;
  std::string receiver;
  int32_t sender_team = 0;
  double received_time = 0.0;
  uint8_t send_mode = 0;
  uint32_t radio_frequency = 0;
  uint8_t chat_type = 0;
  std::optional<std::string> sender_icon;
  uint8_t from_server = 0;
  std::string user_id;
  // Notifications and direct messages.
  std::optional<Colour> colour;
  // Notifications: icon and sound as their REFs.
  float scale = 0.0F;
  float seconds = 0.0F;
  std::optional<std::string> icon;
  std::optional<std::string> sound;
  int32_t priority = 0;
  // Direct messages.
  bool bold = false;
};
struct BossDefeat {
  std::string boss;
  int32_t difficulty = 0;
};
struct HairStyle {
  float percent = 0.0F;
  int32_t style = 0;
};

struct PlayerDescription {
  std::string eos_id;  // defaults to 32 hex digits made from the index
  std::string character_name = "Human";
  std::optional<std::string> player_name;  // defaults to the character name
  std::string player_data_name;            // defaults to PrimalPlayerData_<index>
  std::optional<uint64_t> player_id;       // defaults to 100000001 + index
  std::optional<uint64_t> linked_player_data_id;
  int32_t team = 0;
  std::optional<int32_t> tribe;
  Position position{};
  CharacterState character = CharacterState::kAlive;
  bool player_state = true;
  bool pawn = true;
  bool cheat_manager = true;
  bool stale = false;

  // Runtime facts.
  std::vector<ItemGift> inventory;
  double experience = 0.0;
  int64_t hexagons = 0;
  std::vector<std::pair<std::string, std::string>> armor_sets;  // tier, quality
  std::vector<std::string> engrams;
  std::vector<BossDefeat> bosses;
  std::vector<InboxEntry> inbox;
  std::vector<std::string> script_commands;
  std::string tribe_rank = "member";  // "member", "admin" or "founder"
  std::optional<HairStyle> facial_hair;
  std::optional<HairStyle> head_hair;
  std::optional<std::string> kick_message;
};

struct Imprinter {
  std::string name;
  std::string player_id;
};

struct DinoDescription {
  std::string class_name = "Dino_Character_BP_C";
  std::optional<uint32_t> id1;
  std::optional<uint32_t> id2;
  int32_t team = 0;
  std::optional<std::string> name;  // defaults to the species
  int32_t level = 1;
  Position position{};
  bool dead = false;
  std::array<float, 2> food{1000.0F, 1000.0F};  // current, max

  // Runtime facts.
  std::string tamer;
  int32_t taming_team = 0;
  double experience = 0.0;
  std::vector<std::pair<int32_t, int32_t>> colours;  // region, colour; by region
  float imprint_quality = 0.0F;
  std::optional<Imprinter> imprinter;
  bool neutered = false;
  bool playing = true;  // false for a spawned dino until its play begins
};

struct StructureDescription {
  std::string class_name = "Structure_C";
  int32_t team = 0;
  std::string owner;
  std::optional<std::string> name;  // defaults to the class stem
  std::optional<std::string> consumes_item;
  std::optional<std::string> pickup_item;
  Position position{};
};

struct ActorDescription {
  std::string class_name = "Actor_C";
  std::optional<ClassKind> kind;  // kActor or kPawn; defaults to the listed class's kind
  int32_t team = 0;
  Position position{};
};

struct WorldDescription {
  std::string map = "TheIsland_WP";
  bool world = true;
  std::optional<GameStateDescription> game_state = GameStateDescription{};
  std::optional<WorldSettingsDescription> world_settings = WorldSettingsDescription{};
  std::string save_directory = "SavedWorlds";
  bool server_cheat_manager = true;
  bool tribe_data_struct = true;
  std::vector<ClassDescription> classes;
  std::vector<std::string> items;
  std::vector<TribeDescription> tribes;
  std::vector<PlayerDescription> players;
  std::vector<DinoDescription> dinos;
  std::vector<StructureDescription> structures;
  std::vector<ActorDescription> actors;
  std::vector<std::string> profiles;
  // Runtime fact: script commands run on the server's cheat manager.
  std::vector<std::string> script_commands;
};

// A world description that cannot be loaded; what() names the key and its place, e.g.
// "players[2].team: expected an integer".
class WorldFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  WorldFileError(const std::string& place, const std::string& message)
      : std::runtime_error(place + ": " + message) {}
};

// The place of a list's element in WorldFileError texts: "players" and 2 give "players[2]".
std::string ListPlace(const std::string& list, std::size_t index);

// Checks what only the whole world shows: duplicate tribe ids, EOS ids and dino id pairs,
// duplicate class names, classes that cannot be made with the kind an entity needs, a tribe
// numbered 0 (the team of no tribe) and a player whose team is not their tribe's id.
// Throws WorldFileError.
void CheckWorldDescription(const WorldDescription& description);

// "/Game/Emulated/<Stem>.Default__<Name>", Stem being the name less a trailing "_C".
std::string DefaultClassPath(std::string_view class_name);
// "dino", "structure", "pawn", "actor" or "item", as the world file writes kinds.
const char* ClassKindName(ClassKind kind);

}  // namespace game
