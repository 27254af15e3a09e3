#include "game/world/world.h"

#include "framework/host/running_game.h"
#include "game/memory/allocator.h"
#include "game/util/text.h"
#include "game/world/dino_key.h"

namespace game {

World* World::installed_ = nullptr;

World::~World() {
  if (installed_ == this) {
    installed_ = nullptr;
    SetActiveJournal(nullptr);
    framework::SetRunningGame({});
  }
  // The objects' strings go back to the game's allocator, whatever a test did to the table.
  RegisterAllocator();
  owned_.clear();
}

void World::Install() {
  installed_ = this;
  SetActiveJournal(&journal_);
  framework::SetRunningGame({reports_world_ ? ToSdk<UWorld>(world_object_) : nullptr,
                             ToSdk<AShooterGameMode>(game_mode_),
                             ToSdk<UShooterCheatManager>(server_cheat_manager_)});
}

void World::Register(ObjectBase* object) {
  object->object_index = static_cast<int32_t>(slots_.size());
  slots_.push_back({object, next_serial_++});
  destroyed_.push_back(false);
}

void World::AddToLevel(ActorBase* actor) {
  actor->level_id = level_ids_.Add(level_->actors.Add(ToSdk<AActor>(actor)));
  if (actor->kind == ObjectKind::kDino) dino_list_.Add(actor);
  if (actor->kind == ObjectKind::kStructure) structure_list_.Add(actor);
}

void World::RemoveFromLevel(const ActorBase& actor) {
  const int32_t at = actor.level_id < 0 ? -1 : level_ids_.PositionOf(actor.level_id);
  if (at < 0 || level_->actors[at] == nullptr) return;
  level_->actors[at] = nullptr;
  ++level_nulls_;
}

void World::CompactLevel() {
  if (level_nulls_ == 0) return;
  TArray<AActor*>& actors = level_->actors;
  const int32_t kept =
      level_ids_.Compact([&](int32_t i) { return actors[i] != nullptr; },
                         [&](int32_t from, int32_t to) { actors[to] = actors[from]; });
  while (actors.Num() > kept) actors.RemoveAt(actors.Num() - 1);
  level_nulls_ = 0;
}

ObjectBase* World::Resolve(const FWeakObjectPtr& weak) const {
  if (weak.ObjectIndex < 0 || static_cast<std::size_t>(weak.ObjectIndex) >= slots_.size())
    return nullptr;
  const Slot& slot = slots_[weak.ObjectIndex];
  return slot.serial == weak.ObjectSerialNumber && !destroyed_[weak.ObjectIndex] ? slot.object
                                                                                 : nullptr;
}

Dino* World::FindDino(uint32_t id1, uint32_t id2) const {
  auto it = dino_index_.find(DinoKey(id1, id2));
  return it == dino_index_.end() || IsDestroyed(*it->second) ? nullptr : it->second;
}

const TribeDescription* World::FindTribe(int32_t id) const {
  for (const TribeDescription& tribe : tribes_)
    if (tribe.id == id) return &tribe;
  return nullptr;
}

Player* World::FindPlayerById32(int32_t id32) {
  for (const auto& player : players_)
    if (static_cast<int32_t>(static_cast<uint32_t>(*player->description.player_id)) == id32)
      return player.get();
  return nullptr;
}

const std::string* World::CatalogueItem(std::u16string_view path) const {
  const std::u16string key = BarePathKey(path);
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (item_keys_[i] == key) return &items_[i];
  return nullptr;
}

const std::string* World::CatalogueItem(int32_t index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= items_.size()) return nullptr;
  return &items_[index];
}

void World::CollectGarbage() {
  CompactLevel();
  dino_list_.Compact();
  structure_list_.Compact();
  if (garbage_ == 0) return;
  auto gone = [this](const ObjectBase* object) { return IsDestroyed(*object); };
  std::erase_if(dino_index_, [&](const auto& entry) { return gone(entry.second); });
  std::erase_if(dinos_, gone);
  std::erase_if(structures_, gone);
  std::erase_if(actors_, gone);
  // The slots of the collected objects are emptied too (their destroyed marks stay: indexes are
  // never reused), so that the table holds no pointer to freed memory.
  std::erase_if(owned_, [&](const auto& object) {
    if (!gone(object.get())) return false;
    slots_[object->object_index].object = nullptr;
    return true;
  });
  garbage_ = 0;
}

}  // namespace game
