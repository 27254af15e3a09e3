// What the game's functions change in the live world. Each effect keeps every index, the level
// and the players' bookkeeping consistent, so that queries and the export see its result at once.
#include "game/util/text.h"
#include "game/world/dino_key.h"
#include "game/world/world.h"

namespace game {

void World::DestroyController(Player& player) {
  Controller* controller = player.controller;
  if (controller == nullptr) return;
  player.description.position = ToPosition(controller->current_player_character_location);
  player.controller = nullptr;
  player.state = nullptr;
  player.cheat_manager = nullptr;
  auto retire = [this](const ObjectBase* object) {
    if (object == nullptr || IsDestroyed(*object)) return;
    MarkDestroyed(*object);
    ++garbage_;
  };
  retire(controller->player_state);
  retire(controller->cheat_manager);
  retire(controller);
  RemoveFromLevel(*controller);
  if (game_state_ != nullptr && game_state_->num_player_connected > 0)
    --game_state_->num_player_connected;
}

void World::DestroyActor(ActorBase* actor) {
  if (actor == nullptr || IsDestroyed(*actor)) return;
  switch (actor->kind) {
    case ObjectKind::kController:
      if (actor->player != nullptr) {
        DestroyController(*actor->player);
        if (level_nulls_ * 4 >= level_->actors.Num()) CompactLevel();
        return;
      }
      break;
    case ObjectKind::kCharacter:
      if (Player* player = actor->player; player != nullptr && player->character == actor) {
        player->character = nullptr;
        if (player->controller != nullptr && player->controller->pawn == actor)
          player->controller->pawn = nullptr;
        if (player->controller == nullptr)
          player->description.position = ToPosition(actor->root_component->relative_location);
      }
      break;
    default:
      break;
  }
  // Only the world's tables are written, never the objects (see world.h).
  MarkDestroyed(*actor);
  // Its components go with it (collected with it too): every kind but the controller, player
  // state and game singletons is laid out with a root component, the characters with a status
  // component besides.
  switch (actor->kind) {
    case ObjectKind::kCharacter:
    case ObjectKind::kDino:
      MarkDestroyed(static_cast<CharacterBase*>(actor)->status());
      [[fallthrough]];
    case ObjectKind::kStructure:
    case ObjectKind::kActor:
    case ObjectKind::kPawn:
      MarkDestroyed(static_cast<LocatedActor*>(actor)->root());
      break;
    default:
      break;
  }
  RemoveFromLevel(*actor);
  if (actor->kind == ObjectKind::kDino) dino_list_.Remove(*actor);
  if (actor->kind == ObjectKind::kStructure) structure_list_.Remove(*actor);
  ++garbage_;
  if (level_nulls_ * 4 >= level_->actors.Num()) CompactLevel();
  if (destroy_listener_) destroy_listener_(*actor);
}

void World::MoveActor(ActorBase* actor, const FVector& to) {
  if (actor->kind == ObjectKind::kController && actor->player != nullptr) {
    MovePlayer(*actor->player, to);
    return;
  }
  if (actor->root_component != nullptr) actor->root_component->SetLocation(to);
  if (actor->kind == ObjectKind::kCharacter && actor->player != nullptr) {
    Player& player = *actor->player;
    if (player.controller != nullptr) player.controller->current_player_character_location = to;
    player.description.position = ToPosition(to);
  }
}

void World::MovePlayer(Player& player, const FVector& to) {
  if (player.controller != nullptr) player.controller->current_player_character_location = to;
  if (player.character != nullptr) player.character->root().SetLocation(to);
  player.description.position = ToPosition(to);
}

ActorBase* World::Spawn(std::u16string_view blueprint, const FVector& at) {
  const std::u16string wanted = BarePathKey(blueprint);
  ClassObject* found = nullptr;
  for (const auto& [name, cls] : classes_) {
    if (cls->made_as != ClassKind::kDino && cls->made_as != ClassKind::kStructure) continue;
    if (cls->super_struct == nullptr || cls == NativeClass(Native::kDino) ||
        cls == NativeClass(Native::kStructure))
      continue;
    std::u16string path = cls->path;
    for (std::size_t at_pos; (at_pos = path.find(u"Default__")) != std::u16string::npos;)
      path.erase(at_pos, 9);
    if (FoldCase(StripSuffix(path, u"_C")) == wanted) {
      found = cls;
      break;
    }
  }
  if (found == nullptr) return nullptr;
  const int32_t number = ++spawn_count_;
  ActorBase* spawned = nullptr;
  if (found->made_as == ClassKind::kDino) {
    DinoDescription d;
    d.position = ToPosition(at);
    d.playing = false;
    uint32_t id1 = 1000000000U + static_cast<uint32_t>(number);
    uint32_t id2 = static_cast<uint32_t>(number);
    while (FindDino(id1, id2) != nullptr) ++id2;
    spawned = MakeDino(found, d, id1, id2);
  } else {
    StructureDescription s;
    s.position = ToPosition(at);
    spawned = MakeStructure(found, s);
  }
  spawned->spawned = true;
  spawned->source_index = number;
  return spawned;
}

void World::RenameTribe(int32_t id, std::u16string_view name) {
  for (TribeDescription& tribe : tribes_) {
    if (tribe.id != id) continue;
    tribe.name = ToUtf8(name);
    AddTribeLogEntry(id, u"Tribe renamed to '" + std::u16string(name) + u"'");
  }
  SyncTribeRecords();
}

void World::AddTribeLogEntry(int32_t tribe_id, std::u16string_view text) {
  for (TribeDescription& tribe : tribes_) {
    if (tribe.id != tribe_id) continue;
    std::string entry = game_state_ != nullptr ? ToUtf8(game_state_->day_time) + ": " : "";
    entry += ToUtf8(text);
    tribe.log.push_back(entry);
    const FString line = ToFString(entry);
    for (const auto& player : players_)
      if (player->state != nullptr && player->description.tribe == tribe_id)
        player->state->my_tribe_data.tribe_log.Add(line);
    return;
  }
}

void World::RenamePlayer(Player& player, std::u16string_view name) {
  player.description.character_name = ToUtf8(name);
  if (player.character != nullptr) {
    player.character->player_name = FString(name);
    player.character->descriptive_name = FString(name);
  }
}

void World::SyncTribeRecords() {
  for (const auto& player : players_) {
    if (player->state == nullptr) continue;
    TribeRecord& record = player->state->my_tribe_data;
    const TribeDescription* tribe =
        player->description.tribe ? FindTribe(*player->description.tribe) : nullptr;
    record.tribe_name = tribe ? ToFString(tribe->name) : FString();
    record.tribe_id = tribe ? tribe->id : 0;
    record.tribe_log.Empty();
    if (tribe)
      for (const std::string& line : tribe->log) record.tribe_log.Add(ToFString(line));
    record.owner_player_data_id = 0;
  }
}

}  // namespace game
