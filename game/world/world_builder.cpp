#include "game/world/world_builder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_set>

#include "game/memory/allocator.h"
#include "game/util/text.h"
#include "game/world/dino_key.h"
#include "game/world/native_classes.h"

namespace game {
namespace {

std::string GeneratedEosId(std::size_t n) {
  char text[33];
  std::snprintf(text, sizeof text, "%032zx", n);
  return text;
}

}  // namespace

std::unique_ptr<World> WorldBuilder::Build(const WorldDescription& description,
                                           const std::string& root) {
  RegisterAllocator();
  auto world = std::make_unique<World>(World::BuildKey{});
  WorldBuilder builder(*world, description);
  builder.CopySettings(root);
  builder.AddKnownNames();
  builder.BuildClasses();
  builder.BuildSingletons();
  builder.BuildPlayers();
  builder.BuildDinos();
  builder.BuildStructures();
  builder.BuildActors();
  builder.CountPlayersConnected();
  builder.MakeProfiles(root);
  return world;
}

void WorldBuilder::CopySettings(const std::string& root) {
  w_.map_name_ = ToUtf16(description_.map);
  w_.root_ = root;
  w_.save_directory_ = description_.save_directory;
  w_.reports_world_ = description_.world;
  w_.tribe_data_struct_ = description_.tribe_data_struct;
  w_.items_ = description_.items;
  for (const std::string& item : description_.items)
    w_.item_keys_.push_back(BarePathKey(ToUtf16(item)));
  w_.tribes_ = description_.tribes;
  w_.profiles_ = description_.profiles;
  w_.server_script_commands_ = description_.script_commands;
}

void WorldBuilder::AddKnownNames() {
  // Names the game's cheats know: armor tiers and qualities, bosses.
  for (const char16_t* name :
       {u"Cloth",        u"Hide",       u"Fur",        u"Chitin",     u"Flak",
        u"Riot",         u"Ghillie",    u"Desert",     u"Hazard",     u"Scuba",
        u"Tek",          u"Primitive",  u"Ramshackle", u"Apprentice", u"Journeyman",
        u"Mastercraft",  u"Ascendant",  u"Guardian",   u"Rockwell",   u"Uberspider",
        u"Megapithecus", u"Dragon",     u"Manticore",  u"King Titan", u"IceKaijuIce",
        u"ForestKaiju",  u"DesertKaiju"}) {
    w_.names_.Add(name);
  }
  w_.root_name_ = w_.names_.Add(u"DefaultSceneRoot");
  w_.status_name_ = w_.names_.Add(u"CharacterStatusComponent");
}

void WorldBuilder::BuildClasses() {
  for (const NativeClassInfo& info : kNativeClasses) {
    StructObject* super = info.super == Native::kCount ? nullptr : w_.NativeClass(info.super);
    const std::string path = info.module != nullptr ? std::string(info.module) + "." + info.name
                                                    : DefaultClassPath(info.name);
    w_.natives_[static_cast<int>(info.id)] =
        w_.MakeClass(ToUtf16(info.name), super, ToUtf16(path), info.made_as);
  }
  for (const auto& [name, cls] : w_.classes_) cls->class_private = w_.NativeClass(Native::kClass);
  constexpr int32_t kSizes[][2] = {
      {static_cast<int>(Native::kActor), sizeof(GenericActor)},
      {static_cast<int>(Native::kPawn), sizeof(GenericPawn)},
      {static_cast<int>(Native::kShooterCharacter), sizeof(PlayerCharacter)},
      {static_cast<int>(Native::kDino), sizeof(Dino)},
      {static_cast<int>(Native::kStructure), sizeof(Structure)},
      {static_cast<int>(Native::kShooterPlayerController), sizeof(Controller)},
  };
  for (const auto& [which, size] : kSizes) w_.natives_[which]->properties_size = size;
  for (const ClassDescription& c : description_.classes) {
    w_.listed_classes_.push_back(c);
    w_.listed_classes_.back().path = c.path.value_or(DefaultClassPath(c.name));
    w_.ClassFor(c.name, c.kind);
  }
}

void WorldBuilder::BuildSingletons() {
  w_.world_object_ = w_.Make<WorldObject>(Native::kWorld, w_.map_name_);
  w_.level_ = w_.Make<Level>(Native::kLevel, u"PersistentLevel");
  w_.world_object_->persistent_level = w_.level_;
  w_.game_mode_ = w_.Make<GameMode>(Native::kShooterGameMode);
  w_.game_mode_->save_directory_name = ToFString(description_.save_directory);
  if (description_.game_state) {
    w_.game_state_ = w_.Make<GameState>(Native::kShooterGameState);
    w_.game_state_->server_framerate = description_.game_state->framerate;
    w_.game_state_->day_time = ToFString(description_.game_state->day_time);
    w_.game_mode_->game_state = w_.game_state_;
    w_.world_object_->game_state = w_.game_state_;
  }
  if (const auto& settings = description_.world_settings) {
    w_.world_settings_ = w_.Make<WorldSettings>(Native::kPrimalWorldSettings);
    w_.world_settings_->longitude_origin = settings->longitude_origin;
    w_.world_settings_->latitude_origin = settings->latitude_origin;
    w_.world_settings_->longitude_scale = settings->longitude_scale;
    w_.world_settings_->latitude_scale = settings->latitude_scale;
  }
  if (description_.server_cheat_manager) {
    w_.server_cheat_manager_ = w_.Make<CheatManager>(Native::kShooterCheatManager);
  }
  ScriptStructObject* tribe_struct = w_.Own<ScriptStructObject>();
  tribe_struct->class_private = w_.NativeClass(Native::kScriptStruct);
  tribe_struct->name_private = w_.names_.Add(u"TribeData");
  tribe_struct->properties_size = description_.tribe_data_struct ? sizeof(TribeRecord) : 0;
  w_.Register(tribe_struct);
  w_.tribe_struct_ = tribe_struct;
}

void WorldBuilder::BuildPlayers() {
  std::unordered_set<std::string> used_eos;
  for (const PlayerDescription& p : description_.players) used_eos.insert(p.eos_id);
  std::size_t generated = 0;
  for (std::size_t i = 0; i < description_.players.size(); ++i) {
    auto player = std::make_unique<Player>();
    player->index = static_cast<int32_t>(i);
    PlayerDescription& p = player->description = description_.players[i];
    while (p.eos_id.empty()) {
      std::string id = GeneratedEosId(++generated);
      if (used_eos.insert(id).second) p.eos_id = id;
    }
    if (!p.player_name) p.player_name = p.character_name;
    if (p.player_data_name.empty()) p.player_data_name = "PrimalPlayerData_" + std::to_string(i);
    if (!p.player_id) p.player_id = 100000001 + i;
    if (!p.linked_player_data_id) p.linked_player_data_id = p.player_id;
    if (!p.tribe && w_.FindTribe(p.team) != nullptr) p.tribe = p.team;
    player->eos_id = ToUtf16(p.eos_id);

    player->data = w_.Make<PlayerData>(Native::kPlayerData, ToUtf16(p.player_data_name));
    player->data->my_data.player_data_id = *p.linked_player_data_id;
    player->data->my_data.player_name = ToFString(*p.player_name);
    player->data->my_data.tribe_id = p.tribe.value_or(0);
    w_.game_mode_->player_datas.Add(ToSdk<UPrimalPlayerData>(player->data));

    Controller* controller = w_.Make<Controller>(Native::kShooterPlayerController);
    controller->player = player.get();
    controller->targeting_team = p.team;
    controller->linked_player_id = *p.player_id;
    controller->current_player_character_location = ToVector(p.position);
    player->controller = controller;
    w_.world_object_->player_controller_list.Add(TWeakObjectPtr<AShooterPlayerController>{
        {controller->object_index, w_.slots_[controller->object_index].serial}});
    if (!p.stale) {
      if (p.player_state) {
        PlayerState* state = w_.Make<PlayerState>(Native::kShooterPlayerState);
        state->player = player.get();
        state->targeting_team = p.team;
        state->my_player_data = player->data;
        controller->player_state = state;
        player->state = state;
      }
      if (p.cheat_manager) {
        CheatManager* cheats = w_.Make<CheatManager>(Native::kShooterCheatManager);
        cheats->player = player.get();
        controller->cheat_manager = cheats;
        player->cheat_manager = cheats;
      }
      w_.AddToLevel(controller);
    }
    w_.players_.push_back(std::move(player));
  }
  w_.SyncTribeRecords();
  for (const auto& player : w_.players_) {
    if (player->description.character == CharacterState::kNone) continue;
    PlayerCharacter* character = w_.MakeCharacter(*player);
    if (player->description.pawn) player->controller->pawn = character;
  }
  for (const auto& player : w_.players_) {
    if (player->description.stale) w_.DestroyController(*player);
  }
}

void WorldBuilder::BuildDinos() {
  std::unordered_set<uint64_t> used;
  for (const DinoDescription& d : description_.dinos)
    if (d.id1 && d.id2) used.insert(DinoKey(*d.id1, *d.id2));
  for (std::size_t i = 0; i < description_.dinos.size(); ++i) {
    const DinoDescription& d = description_.dinos[i];
    uint32_t id1 = d.id1.value_or(static_cast<uint32_t>(i + 1));
    uint32_t id2 = d.id2.value_or(static_cast<uint32_t>(i + 1));
    if (!d.id1 || !d.id2) {
      while (!used.insert(DinoKey(id1, id2)).second) ++id2;
    }
    Dino* dino = w_.MakeDino(w_.ClassFor(d.class_name, ClassKind::kDino), d, id1, id2);
    dino->source_index = static_cast<int32_t>(i);
  }
}

void WorldBuilder::BuildStructures() {
  for (std::size_t i = 0; i < description_.structures.size(); ++i) {
    const StructureDescription& s = description_.structures[i];
    Structure* structure = w_.MakeStructure(w_.ClassFor(s.class_name, ClassKind::kStructure), s);
    structure->source_index = static_cast<int32_t>(i);
  }
}

void WorldBuilder::BuildActors() {
  for (std::size_t i = 0; i < description_.actors.size(); ++i) {
    const ActorDescription& a = description_.actors[i];
    ClassKind kind = ClassKind::kActor;
    if (a.kind) {
      kind = *a.kind;
    } else if (auto it = w_.classes_.find(a.class_name);
               it != w_.classes_.end() && it->second->made_as == ClassKind::kPawn) {
      kind = ClassKind::kPawn;
    }
    ClassObject* cls = w_.ClassFor(a.class_name, kind);
    LocatedActor* actor = kind == ClassKind::kPawn
                              ? static_cast<LocatedActor*>(w_.MakeOf<GenericPawn>(cls))
                              : w_.MakeOf<GenericActor>(cls);
    actor->targeting_team = a.team;
    actor->root().SetLocation(ToVector(a.position));
    actor->source_index = static_cast<int32_t>(i);
    w_.actors_.push_back(actor);
    w_.AddToLevel(actor);
  }
}

void WorldBuilder::CountPlayersConnected() {
  if (w_.game_state_ == nullptr) return;
  int32_t online = 0;
  for (const auto& player : w_.players_) online += player->controller != nullptr ? 1 : 0;
  w_.game_state_->num_player_connected =
      description_.game_state->players_connected.value_or(online);
}

void WorldBuilder::MakeProfiles(const std::string& root) {
  if (root.empty()) return;
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(root) / "Saved" / description_.save_directory / "TheIsland_WP";
  fs::create_directories(folder);
  for (const std::string& eos : description_.profiles) {
    std::ofstream file(folder / (eos + ".playerprofile"), std::ios::binary | std::ios::trunc);
    file << "profile " << eos << '\n';
  }
}

}  // namespace game
