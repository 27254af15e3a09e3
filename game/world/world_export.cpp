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
  for (const auto& player : players_) w.players.push_back(Describe(*player));
  for (const Dino* dino : dinos_)
    if (!IsDestroyed(*dino)) w.dinos.push_back(Describe(*dino));
  for (const Structure* structure : structures_)
    if (!IsDestroyed(*structure)) w.structures.push_back(Describe(*structure));
  for (const LocatedActor* actor : actors_)
    if (!IsDestroyed(*actor)) w.actors.push_back(Describe(*actor));
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

PlayerDescription World::Describe(const Player& player) const {
  PlayerDescription p = player.description;
  if (player.controller != nullptr) {
    p.team = player.controller->targeting_team;
    p.position = ToPosition(player.controller->current_player_character_location);
    p.stale = false;
  } else {
    p.stale = true;
    if (player.character != nullptr)
      p.position = ToPosition(player.character->root().relative_location);
  }
  p.character = player.character == nullptr ? CharacterState::kNone
                : player.character->dead    ? CharacterState::kDead
                                            : CharacterState::kAlive;
  return p;
}

DinoDescription World::Describe(const Dino& dino_object) const {
  const Dino* dino = &dino_object;
  DinoDescription d;
  d.class_name = ClassName(*dino->class_private);
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
  return d;
}

std::optional<std::string> World::ClassNameOf(const ClassObject* cls) const {
  if (cls == nullptr) return std::nullopt;
  return ClassName(*cls);
}

const std::string& World::ClassName(const ClassObject& cls) const {
  auto [at, added] = class_names_.try_emplace(&cls);
  if (added) at->second = ToUtf8(names_.ToString(cls.name_private));
  return at->second;
}

StructureDescription World::Describe(const Structure& structure) const {
  StructureDescription s;
  s.class_name = *ClassNameOf(structure.class_private);
  s.team = structure.targeting_team;
  s.owner = ToUtf8(structure.owner_name);
  s.name = ToUtf8(structure.descriptive_name);
  s.consumes_item = ClassNameOf(structure.consumes_primal_item);
  s.pickup_item = ClassNameOf(structure.pickup_gives_item);
  s.position = ToPosition(structure.root().relative_location);
  return s;
}

ActorDescription World::Describe(const LocatedActor& actor) const {
  ActorDescription a;
  a.class_name = *ClassNameOf(actor.class_private);
  a.kind = actor.kind == ObjectKind::kPawn ? ClassKind::kPawn : ClassKind::kActor;
  a.team = actor.targeting_team;
  a.position = ToPosition(actor.root().relative_location);
  return a;
}

}  // namespace game
