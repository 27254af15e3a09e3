// The live world written back as a WorldDescription: the current values of every entity and what
// game functions recorded on them, so that the export loads again as the same world.
#include <filesystem>

#include "game/util/text.h"
#include "game/world/world.h"

namespace game {
WorldDescription World::ToDescription() const {
  WorldDescription w;
  w.map = ToUtf8(map_name_);
  w.world = reports_world_;
  if (game_state_ != nullptr) {
    w.game_state =
        GameStateDescription{ToUtf8(game_state_->day_time), game_state_->server_framerate,
                             game_state_->num_player_connected};
  } else {
    w.game_state.reset();
  }
  if (world_settings_ != nullptr) {
    w.world_settings = WorldSettingsDescription{
        world_settings_->longitude_origin, world_settings_->latitude_origin,
        world_settings_->longitude_scale, world_settings_->latitude_scale};
  } else {
    w.world_settings.reset();
  }
  w.save_directory = ToUtf8(game_mode_->save_directory_name);
  w.server_cheat_manager = server_cheat_manager_ != nullptr;
  w.tribe_data_struct = tribe_data_struct_;
  w.classes = listed_classes_;
  w.items = items_;
  w.tribes = tribes_;
  w.script_commands = server_script_commands_;

  w.players.reserve(players_.size());
  w.dinos.reserve(dinos_.size());
  w.structures.reserve(structures_.size());
  w.actors.reserve(actors_.size());
  for (const auto& player : players_) {
    PlayerDescription p = player->description;
    if (player->controller != nullptr) {
      p.team = player->controller->targeting_team;
      p.position = ToPosition(player->controller->current_player_character_location);
      p.stale = false;
    } else {
      p.stale = true;
      if (player->character != nullptr)
        p.position = ToPosition(player->character->root().relative_location);
    }
    p.character = player->character == nullptr ? CharacterState::kNone
                  : player->character->dead    ? CharacterState::kDead
                                               : CharacterState::kAlive;
    w.players.push_back(std::move(p));
  }
  for (const Dino* dino : dinos_) {
    if (dino->destroyed) continue;
    DinoDescription d;
    d.class_name = ToUtf8(names_.ToString(dino->class_private->name_private));
    d.id1 = dino->dino_id1;
    d.id2 = dino->dino_id2;
    d.team = dino->targeting_team;
    d.name = ToUtf8(dino->descriptive_name);
    d.level = dino->absolute_base_level;
    d.position = ToPosition(dino->root().relative_location);
    d.dead = dino->dead;
    d.food = {dino->status().current_status_values[kFoodStatus],
              dino->status().max_status_values[kFoodStatus]};
    d.tamer = ToUtf8(dino->tamer_string);
    d.taming_team = dino->taming_team_id;
    d.neutered = dino->neutered;
    d.playing = dino->playing;
    if (dino->facts) {
      d.experience = dino->facts->experience;
      d.colours = dino->facts->colours;
      d.imprint_quality = dino->facts->imprint_quality;
      d.imprinter = dino->facts->imprinter;
    }
    w.dinos.push_back(std::move(d));
  }
  auto class_name = [this](const ClassObject* cls) -> std::optional<std::string> {
    if (cls == nullptr) return std::nullopt;
    return ToUtf8(names_.ToString(cls->name_private));
  };
  for (const Structure* structure : structures_) {
    if (structure->destroyed) continue;
    StructureDescription s;
    s.class_name = *class_name(structure->class_private);
    s.team = structure->targeting_team;
    s.owner = ToUtf8(structure->owner_name);
    s.name = ToUtf8(structure->descriptive_name);
    s.consumes_item = class_name(structure->consumes_primal_item);
    s.pickup_item = class_name(structure->pickup_gives_item);
    s.position = ToPosition(structure->root().relative_location);
    w.structures.push_back(std::move(s));
  }
  for (const LocatedActor* actor : actors_) {
    if (actor->destroyed) continue;
    ActorDescription a;
    a.class_name = *class_name(actor->class_private);
    a.kind = actor->kind == ObjectKind::kPawn ? ClassKind::kPawn : ClassKind::kActor;
    a.team = actor->targeting_team;
    a.position = ToPosition(actor->root().relative_location);
    w.actors.push_back(std::move(a));
  }
  if (root_.empty()) {
    w.profiles = profiles_;
  } else {
    const std::filesystem::path folder =
        std::filesystem::path(root_) / "Saved" / save_directory_ / "TheIsland_WP";
    std::error_code error;
    for (const std::string& eos : profiles_)
      if (std::filesystem::exists(folder / (eos + ".playerprofile"), error))
        w.profiles.push_back(eos);
  }
  return w;
}

}  // namespace game
