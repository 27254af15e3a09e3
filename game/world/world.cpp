#include "game/world/world.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unordered_set>

#include "framework/host/running_game.h"
#include "game/members/members.h"
#include "game/memory/allocator.h"
#include "game/util/text.h"
#include "game/world/world_file.h"

namespace game {

World* World::installed_ = nullptr;

namespace {

struct NativeInfo {
  Native id;
  const char16_t* name;
  Native super;  // kCount: none
  const char16_t* module;
};

// The game's own class tree. Native classes' default objects are named by their class path,
// without a "Default__" part.
constexpr NativeInfo kNatives[] = {
    {Native::kObject, u"Object", Native::kCount, u"/Script/CoreUObject"},
    {Native::kClass, u"Class", Native::kObject, u"/Script/CoreUObject"},
    {Native::kScriptStruct, u"ScriptStruct", Native::kObject, u"/Script/CoreUObject"},
    {Native::kActor, u"Actor", Native::kObject, u"/Script/Engine"},
    {Native::kPawn, u"Pawn", Native::kActor, u"/Script/Engine"},
    {Native::kCharacter, u"Character", Native::kPawn, u"/Script/Engine"},
    {Native::kPrimalCharacter, u"PrimalCharacter", Native::kCharacter, u"/Script/Game"},
    {Native::kShooterCharacter, u"ShooterCharacter", Native::kPrimalCharacter, u"/Script/Game"},
    {Native::kPlayerPawn, u"PlayerPawn_C", Native::kShooterCharacter, nullptr},
    {Native::kDino, u"PrimalDinoCharacter", Native::kPrimalCharacter, u"/Script/Game"},
    {Native::kTargetable, u"PrimalTargetableActor", Native::kActor, u"/Script/Game"},
    {Native::kStructure, u"PrimalStructure", Native::kTargetable, u"/Script/Game"},
    {Native::kController, u"Controller", Native::kActor, u"/Script/Engine"},
    {Native::kPlayerController, u"PlayerController", Native::kController, u"/Script/Engine"},
    {Native::kShooterPlayerController, u"ShooterPlayerController", Native::kPlayerController,
     u"/Script/Game"},
    {Native::kInfo, u"Info", Native::kActor, u"/Script/Engine"},
    {Native::kPlayerState, u"PlayerState", Native::kInfo, u"/Script/Engine"},
    {Native::kShooterPlayerState, u"ShooterPlayerState", Native::kPlayerState, u"/Script/Game"},
    {Native::kGameModeBase, u"GameModeBase", Native::kInfo, u"/Script/Engine"},
    {Native::kShooterGameMode, u"ShooterGameMode", Native::kGameModeBase, u"/Script/Game"},
    {Native::kGameStateBase, u"GameStateBase", Native::kInfo, u"/Script/Engine"},
    {Native::kShooterGameState, u"ShooterGameState", Native::kGameStateBase, u"/Script/Game"},
    {Native::kWorldSettings, u"WorldSettings", Native::kInfo, u"/Script/Engine"},
    {Native::kPrimalWorldSettings, u"PrimalWorldSettings", Native::kWorldSettings, u"/Script/Game"},
    {Native::kWorld, u"World", Native::kObject, u"/Script/Engine"},
    {Native::kLevel, u"Level", Native::kObject, u"/Script/Engine"},
    {Native::kActorComponent, u"ActorComponent", Native::kObject, u"/Script/Engine"},
    {Native::kSceneComponent, u"SceneComponent", Native::kActorComponent, u"/Script/Engine"},
    {Native::kStatusComponent, u"PrimalCharacterStatusComponent", Native::kActorComponent,
     u"/Script/Game"},
    {Native::kCheatManager, u"CheatManager", Native::kObject, u"/Script/Engine"},
    {Native::kShooterCheatManager, u"ShooterCheatManager", Native::kCheatManager, u"/Script/Game"},
    {Native::kPlayerData, u"PrimalPlayerData", Native::kObject, u"/Script/Game"},
    {Native::kItem, u"PrimalItem", Native::kObject, u"/Script/Game"},
};

uint64_t DinoKey(uint32_t id1, uint32_t id2) { return (uint64_t{id1} << 32) | id2; }

std::u16string StripSuffix(std::u16string_view text, std::u16string_view suffix) {
  if (text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix)
    text.remove_suffix(suffix.size());
  return std::u16string(text);
}

// A blueprint path as administrators type it: Blueprint'<path>' or the bare path; the result is
// the bare path, case-folded.
std::u16string BarePathKey(std::u16string_view text) {
  constexpr std::u16string_view kPrefix = u"Blueprint'";
  if (text.size() > kPrefix.size() && EqualsIgnoringCase(text.substr(0, kPrefix.size()), kPrefix) &&
      text.back() == u'\'') {
    text = text.substr(kPrefix.size(), text.size() - kPrefix.size() - 1);
  }
  return FoldCase(text);
}

void FillStatus(StatusComponent& status, float health, float food_now, float food_max) {
  constexpr float kDefaults[kStatusCount] = {0, 100, 100, 100, 0, 100, 0, 0, 100, 100, 0, 0};
  for (int i = 0; i < kStatusCount; ++i) status.max_status_values[i] = kDefaults[i];
  status.max_status_values[0] = health;
  status.max_status_values[kFoodStatus] = food_max;
  for (int i = 0; i < kStatusCount; ++i)
    status.current_status_values[i] = status.max_status_values[i];
  status.current_status_values[kFoodStatus] = food_now;
}

std::string GeneratedEosId(std::size_t n) {
  char text[33];
  std::snprintf(text, sizeof text, "%032zx", n);
  return text;
}

}  // namespace

std::unique_ptr<World> World::Build(const WorldDescription& description, const std::string& root) {
  RegisterAllocator();
  std::unique_ptr<World> w(new World());
  w->map_name_ = ToUtf16(description.map);
  w->root_ = root;
  w->save_directory_ = description.save_directory;
  w->reports_world_ = description.world;
  w->tribe_data_struct_ = description.tribe_data_struct;
  w->items_ = description.items;
  for (const std::string& item : description.items)
    w->item_keys_.push_back(BarePathKey(ToUtf16(item)));
  w->tribes_ = description.tribes;
  w->profiles_ = description.profiles;
  w->server_script_commands_ = description.script_commands;
  // Names the game's cheats know: armor tiers and qualities, bosses.
  for (const char16_t* name :
       {u"Cloth",        u"Hide",       u"Fur",        u"Chitin",     u"Flak",
        u"Riot",         u"Ghillie",    u"Desert",     u"Hazard",     u"Scuba",
        u"Tek",          u"Primitive",  u"Ramshackle", u"Apprentice", u"Journeyman",
        u"Mastercraft",  u"Ascendant",  u"Guardian",   u"Rockwell",   u"Uberspider",
        u"Megapithecus", u"Dragon",     u"Manticore",  u"King Titan", u"IceKaijuIce",
        u"ForestKaiju",  u"DesertKaiju"}) {
    w->names_.Add(name);
  }

  w->root_name_ = w->names_.Add(u"DefaultSceneRoot");
  w->status_name_ = w->names_.Add(u"CharacterStatusComponent");
  w->BuildClasses(description);

  w->world_object_ = w->Make<WorldObject>(Native::kWorld, w->map_name_);
  w->level_ = w->Make<Level>(Native::kLevel, u"PersistentLevel");
  w->world_object_->persistent_level = w->level_;
  w->game_mode_ = w->Make<GameMode>(Native::kShooterGameMode);
  w->game_mode_->save_directory_name = ToFString(description.save_directory);
  if (description.game_state) {
    w->game_state_ = w->Make<GameState>(Native::kShooterGameState);
    w->game_state_->server_framerate = description.game_state->framerate;
    w->game_state_->day_time = ToFString(description.game_state->day_time);
    w->game_mode_->game_state = w->game_state_;
    w->world_object_->game_state = w->game_state_;
  }
  if (description.world_settings) {
    w->world_settings_ = w->Make<WorldSettings>(Native::kPrimalWorldSettings);
    w->world_settings_->longitude_origin = description.world_settings->longitude_origin;
    w->world_settings_->latitude_origin = description.world_settings->latitude_origin;
    w->world_settings_->longitude_scale = description.world_settings->longitude_scale;
    w->world_settings_->latitude_scale = description.world_settings->latitude_scale;
  }
  if (description.server_cheat_manager) {
    w->server_cheat_manager_ = w->Make<CheatManager>(Native::kShooterCheatManager);
  }
  w->tribe_struct_ = new ScriptStructObject();
  w->owned_.emplace_back(w->tribe_struct_);
  w->tribe_struct_->class_private = w->NativeClass(Native::kScriptStruct);
  w->tribe_struct_->name_private = w->names_.Add(u"TribeData");
  w->tribe_struct_->properties_size = description.tribe_data_struct ? sizeof(TribeRecord) : 0;
  w->Register(w->tribe_struct_);

  w->BuildPlayers(description);
  w->BuildDinos(description);
  for (std::size_t i = 0; i < description.structures.size(); ++i) {
    const StructureDescription& s = description.structures[i];
    Structure* structure = w->MakeStructure(w->ClassFor(s.class_name, ClassKind::kStructure), s);
    structure->source_index = static_cast<int32_t>(i);
  }
  for (std::size_t i = 0; i < description.actors.size(); ++i) {
    const ActorDescription& a = description.actors[i];
    ClassKind kind = ClassKind::kActor;
    if (a.kind) {
      kind = *a.kind;
    } else if (auto it = w->classes_.find(a.class_name);
               it != w->classes_.end() && it->second->made_as == ClassKind::kPawn) {
      kind = ClassKind::kPawn;
    }
    ClassObject* cls = w->ClassFor(a.class_name, kind);
    LocatedActor* actor = kind == ClassKind::kPawn
                              ? static_cast<LocatedActor*>(w->MakeOf<GenericPawn>(cls))
                              : w->MakeOf<GenericActor>(cls);
    actor->targeting_team = a.team;
    actor->root.SetLocation(ToVector(a.position));
    actor->source_index = static_cast<int32_t>(i);
    w->actors_.push_back(actor);
    w->AddToLevel(actor);
  }

  int32_t online = 0;
  for (const auto& player : w->players_) online += player->controller != nullptr ? 1 : 0;
  if (w->game_state_) {
    w->game_state_->num_player_connected =
        description.game_state->players_connected.value_or(online);
  }
  w->MakeProfiles(description, root);
  return w;
}

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
  RegisterMembers();
  framework::SetRunningGame({reports_world_ ? ToSdk<UWorld>(world_object_) : nullptr,
                             ToSdk<AShooterGameMode>(game_mode_),
                             ToSdk<UShooterCheatManager>(server_cheat_manager_)});
}

void World::Register(ObjectBase* object) {
  object->object_index = static_cast<int32_t>(slots_.size());
  slots_.push_back({object, next_serial_++});
}

template <class T>
T* World::MakeOf(ClassObject* cls, std::u16string_view name) {
  auto owned = std::make_unique<T>();
  T* object = owned.get();
  owned_.push_back(std::move(owned));
  object->class_private = cls;
  if (name.empty()) {
    // Instances are named after their class and numbered: Raptor_Character_BP_C_0, _1, ...
    const int32_t number = instance_counts_[cls]++;
    const FName& class_name = cls->name_private;
    object->name_private = class_name.Number == 0
                               ? FName{class_name.ComparisonIndex, number + 1}
                               : names_.Make(names_.ToString(class_name), number + 1);
  } else {
    object->name_private = names_.Add(name);
  }
  Register(object);
  if constexpr (std::is_base_of_v<LocatedActor, T>) {
    object->root.class_private = NativeClass(Native::kSceneComponent);
    object->root.name_private = root_name_;
    Register(&object->root);
  }
  if constexpr (std::is_base_of_v<CharacterBase, T>) {
    object->status.class_private = NativeClass(Native::kStatusComponent);
    object->status.name_private = status_name_;
    Register(&object->status);
  }
  return object;
}

template <class T>
T* World::Make(Native cls, std::u16string_view name) {
  return MakeOf<T>(NativeClass(cls), name);
}

ClassObject* World::MakeClass(std::u16string_view name, StructObject* super, std::u16string path,
                              std::optional<ClassKind> made_as) {
  auto* cls = new ClassObject();
  owned_.emplace_back(cls);
  cls->name_private = names_.Add(name);
  cls->super_struct = super;
  cls->path = std::move(path);
  cls->made_as = made_as;
  cls->properties_size =
      super != nullptr ? super->properties_size : static_cast<int32_t>(sizeof(ObjectBase));
  Register(cls);
  auto* cdo = new DefaultObject();
  owned_.emplace_back(cdo);
  cdo->class_private = cls;
  cdo->name_private = names_.Add(u"Default__" + std::u16string(name));
  Register(cdo);
  cls->default_object = cdo;
  classes_.emplace(ToUtf8(name), cls);
  return cls;
}

void World::BuildClasses(const WorldDescription& description) {
  for (const NativeInfo& info : kNatives) {
    StructObject* super = info.super == Native::kCount ? nullptr : NativeClass(info.super);
    std::u16string path = info.module != nullptr
                              ? std::u16string(info.module) + u"." + info.name
                              : ToUtf16(DefaultClassPath(ToUtf8(std::u16string_view(info.name))));
    std::optional<ClassKind> made_as;
    if (info.id == Native::kActor) made_as = ClassKind::kActor;
    if (info.id == Native::kPawn) made_as = ClassKind::kPawn;
    if (info.id == Native::kDino) made_as = ClassKind::kDino;
    if (info.id == Native::kStructure) made_as = ClassKind::kStructure;
    if (info.id == Native::kItem) made_as = ClassKind::kItem;
    natives_[static_cast<int>(info.id)] = MakeClass(info.name, super, std::move(path), made_as);
  }
  for (const auto& [name, cls] : classes_) cls->class_private = NativeClass(Native::kClass);
  constexpr int32_t kSizes[][2] = {
      {static_cast<int>(Native::kActor), sizeof(GenericActor)},
      {static_cast<int>(Native::kPawn), sizeof(GenericPawn)},
      {static_cast<int>(Native::kShooterCharacter), sizeof(PlayerCharacter)},
      {static_cast<int>(Native::kDino), sizeof(Dino)},
      {static_cast<int>(Native::kStructure), sizeof(Structure)},
      {static_cast<int>(Native::kShooterPlayerController), sizeof(Controller)},
  };
  for (const auto& [which, size] : kSizes) natives_[which]->properties_size = size;
  for (const ClassDescription& c : description.classes) {
    listed_classes_.push_back(c);
    listed_classes_.back().path = c.path.value_or(DefaultClassPath(c.name));
    ClassFor(c.name, c.kind);
  }
}

ClassObject* World::ClassFor(const std::string& name, ClassKind kind) {
  if (auto it = classes_.find(name); it != classes_.end()) return it->second;
  std::string path = DefaultClassPath(name);
  for (const ClassDescription& c : listed_classes_)
    if (c.name == name) path = *c.path;
  Native super = Native::kActor;
  switch (kind) {
    case ClassKind::kDino:
      super = Native::kDino;
      break;
    case ClassKind::kStructure:
      super = Native::kStructure;
      break;
    case ClassKind::kPawn:
      super = Native::kPawn;
      break;
    case ClassKind::kActor:
      super = Native::kActor;
      break;
    case ClassKind::kItem:
      super = Native::kItem;
      break;
  }
  ClassObject* cls = MakeClass(ToUtf16(name), NativeClass(super), ToUtf16(path), kind);
  cls->class_private = NativeClass(Native::kClass);
  return cls;
}

void World::BuildPlayers(const WorldDescription& description) {
  std::unordered_set<std::string> used_eos;
  for (const PlayerDescription& p : description.players) used_eos.insert(p.eos_id);
  std::size_t generated = 0;
  for (std::size_t i = 0; i < description.players.size(); ++i) {
    auto player = std::make_unique<Player>();
    player->index = static_cast<int32_t>(i);
    PlayerDescription& p = player->description = description.players[i];
    while (p.eos_id.empty()) {
      std::string id = GeneratedEosId(++generated);
      if (used_eos.insert(id).second) p.eos_id = id;
    }
    if (!p.player_name) p.player_name = p.character_name;
    if (p.player_data_name.empty()) p.player_data_name = "PrimalPlayerData_" + std::to_string(i);
    if (!p.player_id) p.player_id = 100000001 + i;
    if (!p.linked_player_data_id) p.linked_player_data_id = p.player_id;
    if (!p.tribe && FindTribe(p.team) != nullptr) p.tribe = p.team;
    player->eos_id = ToUtf16(p.eos_id);

    player->data = Make<PlayerData>(Native::kPlayerData, ToUtf16(p.player_data_name));
    player->data->my_data.player_data_id = *p.linked_player_data_id;
    player->data->my_data.player_name = ToFString(*p.player_name);
    player->data->my_data.tribe_id = p.tribe.value_or(0);
    game_mode_->player_datas.Add(ToSdk<UPrimalPlayerData>(player->data));

    Controller* controller = Make<Controller>(Native::kShooterPlayerController);
    controller->player = player.get();
    controller->targeting_team = p.team;
    controller->linked_player_id = *p.player_id;
    controller->current_player_character_location = ToVector(p.position);
    player->controller = controller;
    world_object_->player_controller_list.Add(TWeakObjectPtr<AShooterPlayerController>{
        {controller->object_index, slots_[controller->object_index].serial}});
    if (!p.stale) {
      if (p.player_state) {
        PlayerState* state = Make<PlayerState>(Native::kShooterPlayerState);
        state->player = player.get();
        state->targeting_team = p.team;
        state->my_player_data = player->data;
        controller->player_state = state;
        player->state = state;
      }
      if (p.cheat_manager) {
        CheatManager* cheats = Make<CheatManager>(Native::kShooterCheatManager);
        cheats->player = player.get();
        controller->cheat_manager = cheats;
        player->cheat_manager = cheats;
      }
      AddToLevel(controller);
    }
    players_.push_back(std::move(player));
  }
  SyncTribeRecords();
  for (const auto& player : players_) {
    const PlayerDescription& p = player->description;
    if (p.character == CharacterState::kNone) continue;
    PlayerCharacter* character = Make<PlayerCharacter>(Native::kPlayerPawn);
    character->player = player.get();
    character->targeting_team = p.team;
    character->root.SetLocation(ToVector(p.position));
    character->player_name = ToFString(p.character_name);
    character->descriptive_name = ToFString(p.character_name);
    character->linked_player_data_id = *p.linked_player_data_id;
    character->dead = p.character == CharacterState::kDead;
    FillStatus(character->status, 200.0F, 100.0F, 100.0F);
    player->character = character;
    if (p.pawn) player->controller->pawn = character;
    AddToLevel(character);
  }
  for (const auto& player : players_) {
    if (player->description.stale) DestroyController(*player);
  }
}

void World::BuildDinos(const WorldDescription& description) {
  std::unordered_set<uint64_t> used;
  for (const DinoDescription& d : description.dinos)
    if (d.id1 && d.id2) used.insert(DinoKey(*d.id1, *d.id2));
  for (std::size_t i = 0; i < description.dinos.size(); ++i) {
    const DinoDescription& d = description.dinos[i];
    uint32_t id1 = d.id1.value_or(static_cast<uint32_t>(i + 1));
    uint32_t id2 = d.id2.value_or(static_cast<uint32_t>(i + 1));
    if (!d.id1 || !d.id2) {
      while (!used.insert(DinoKey(id1, id2)).second) ++id2;
    }
    Dino* dino = MakeDino(ClassFor(d.class_name, ClassKind::kDino), d, id1, id2);
    dino->source_index = static_cast<int32_t>(i);
  }
}

Dino* World::MakeDino(ClassObject* cls, const DinoDescription& d, uint32_t id1, uint32_t id2) {
  Dino* dino = MakeOf<Dino>(cls);
  dino->dino_id1 = id1;
  dino->dino_id2 = id2;
  dino->targeting_team = d.team;
  dino->descriptive_name = ToFString(d.name.value_or(ToUtf8(SpeciesOf(*dino))));
  dino->absolute_base_level = d.level;
  dino->root.SetLocation(ToVector(d.position));
  dino->dead = d.dead;
  FillStatus(dino->status, 1000.0F, d.food[0], d.food[1]);
  dino->tamer_string = ToFString(d.tamer);
  dino->taming_team_id = d.taming_team;
  dino->neutered = d.neutered;
  dino->playing = d.playing;
  if (d.experience != 0.0 || !d.colours.empty() || d.imprint_quality != 0.0F || d.imprinter) {
    DinoFacts& facts = dino->Facts();
    facts.experience = d.experience;
    facts.colours = d.colours;
    facts.imprint_quality = d.imprint_quality;
    facts.imprinter = d.imprinter;
  }
  dinos_.push_back(dino);
  dino_index_.emplace(DinoKey(id1, id2), dino);
  AddToLevel(dino);
  return dino;
}

Structure* World::MakeStructure(ClassObject* cls, const StructureDescription& s) {
  Structure* structure = MakeOf<Structure>(cls);
  structure->targeting_team = s.team;
  structure->owner_name = ToFString(s.owner);
  structure->descriptive_name =
      ToFString(s.name.value_or(ToUtf8(StripSuffix(names_.ToString(cls->name_private), u"_C"))));
  if (s.consumes_item)
    structure->consumes_primal_item = ClassFor(*s.consumes_item, ClassKind::kItem);
  if (s.pickup_item) structure->pickup_gives_item = ClassFor(*s.pickup_item, ClassKind::kItem);
  structure->root.SetLocation(ToVector(s.position));
  structures_.push_back(structure);
  AddToLevel(structure);
  return structure;
}

void World::MakeProfiles(const WorldDescription& description, const std::string& root) {
  if (root.empty()) return;
  namespace fs = std::filesystem;
  const fs::path folder = fs::path(root) / "Saved" / description.save_directory / "TheIsland_WP";
  fs::create_directories(folder);
  for (const std::string& eos : description.profiles) {
    std::ofstream file(folder / (eos + ".playerprofile"), std::ios::binary | std::ios::trunc);
    file << "profile " << eos << '\n';
  }
}

void World::AddToLevel(ActorBase* actor) {
  actor->level_slot = level_->actors.Add(ToSdk<AActor>(actor));
}

void World::CompactLevel() {
  if (level_nulls_ == 0) return;
  TArray<AActor*>& actors = level_->actors;
  int32_t kept = 0;
  for (int32_t i = 0; i < actors.Num(); ++i) {
    if (actors[i] == nullptr) continue;
    static_cast<ActorBase*>(FromSdk(actors[i]))->level_slot = kept;
    actors[kept++] = actors[i];
  }
  while (actors.Num() > kept) actors.RemoveAt(actors.Num() - 1);
  level_nulls_ = 0;
}

ObjectBase* World::Resolve(const FWeakObjectPtr& weak) const {
  if (weak.ObjectIndex < 0 || static_cast<std::size_t>(weak.ObjectIndex) >= slots_.size())
    return nullptr;
  const Slot& slot = slots_[weak.ObjectIndex];
  return slot.serial == weak.ObjectSerialNumber ? slot.object : nullptr;
}

Dino* World::FindDino(uint32_t id1, uint32_t id2) const {
  auto it = dino_index_.find(DinoKey(id1, id2));
  return it == dino_index_.end() ? nullptr : it->second;
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

void World::DestroyController(Player& player) {
  Controller* controller = player.controller;
  if (controller == nullptr) return;
  player.description.position = ToPosition(controller->current_player_character_location);
  player.controller = nullptr;
  player.state = nullptr;
  player.cheat_manager = nullptr;
  auto retire = [this](ObjectBase* object) {
    if (object == nullptr || object->destroyed) return;
    object->destroyed = true;
    slots_[object->object_index].object = nullptr;
    ++garbage_;
  };
  retire(controller->player_state);
  retire(controller->cheat_manager);
  retire(controller);
  if (controller->level_slot >= 0) {
    level_->actors[controller->level_slot] = nullptr;
    controller->level_slot = -1;
    ++level_nulls_;
  }
  if (game_state_ != nullptr && game_state_->num_player_connected > 0)
    --game_state_->num_player_connected;
}

void World::DestroyActor(ActorBase* actor) {
  if (actor == nullptr || actor->destroyed) return;
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
    case ObjectKind::kDino: {
      auto* dino = static_cast<Dino*>(actor);
      dino_index_.erase(DinoKey(dino->dino_id1, dino->dino_id2));
      break;
    }
    default:
      break;
  }
  actor->destroyed = true;
  slots_[actor->object_index].object = nullptr;
  if (auto* located = dynamic_cast<LocatedActor*>(actor))
    slots_[located->root.object_index].object = nullptr;
  if (auto* character = dynamic_cast<CharacterBase*>(actor))
    slots_[character->status.object_index].object = nullptr;
  if (actor->level_slot >= 0) {
    level_->actors[actor->level_slot] = nullptr;
    actor->level_slot = -1;
    ++level_nulls_;
  }
  ++garbage_;
  if (level_nulls_ * 4 >= level_->actors.Num()) CompactLevel();
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
  if (player.character != nullptr) player.character->root.SetLocation(to);
  player.description.position = ToPosition(to);
}

ItemObject* World::MakeItem() { return Make<ItemObject>(Native::kItem); }

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
  for (TribeDescription& tribe : tribes_)
    if (tribe.id == id) tribe.name = ToUtf8(name);
  SyncTribeRecords();
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

std::u16string World::SpeciesOf(const Dino& dino) const {
  const std::u16string name = names_.ToString(dino.class_private->name_private);
  constexpr std::u16string_view kLong = u"_Character_BP_C";
  if (name.size() >= kLong.size() && name.substr(name.size() - kLong.size()) == kLong)
    return name.substr(0, name.size() - kLong.size());
  return StripSuffix(name, u"_C");
}

std::string World::RefOf(const ObjectBase* object) const {
  if (object == nullptr) return "null";
  auto eos_of = [](const Player* player) {
    return player ? player->description.eos_id : std::string("?");
  };
  switch (object->kind) {
    case ObjectKind::kController:
      return "controller:" + eos_of(static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kCharacter:
      return "character:" + eos_of(static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kPlayerState:
      return "playerstate:" + eos_of(static_cast<const ActorBase*>(object)->player);
    case ObjectKind::kCheatManager: {
      const Player* player = static_cast<const CheatManager*>(object)->player;
      return player ? "cheatmanager:" + player->description.eos_id : "cheatmanager:server";
    }
    case ObjectKind::kDino: {
      const auto* dino = static_cast<const Dino*>(object);
      if (dino->spawned) return "spawned:" + std::to_string(dino->source_index);
      return "dino:" + std::to_string(dino->dino_id1) + ":" + std::to_string(dino->dino_id2);
    }
    case ObjectKind::kStructure:
    case ObjectKind::kActor:
    case ObjectKind::kPawn: {
      const auto* actor = static_cast<const ActorBase*>(object);
      if (actor->spawned) return "spawned:" + std::to_string(actor->source_index);
      return (object->kind == ObjectKind::kStructure ? "structure:" : "actor:") +
             std::to_string(actor->source_index);
    }
    case ObjectKind::kRootComponent:
      return "root:" + RefOf(static_cast<const SceneComponent*>(object)->owner);
    case ObjectKind::kStatusComponent:
      return "status:" + RefOf(static_cast<const StatusComponent*>(object)->owner);
    case ObjectKind::kGameMode:
      return "gamemode";
    case ObjectKind::kWorld:
      return "world";
    default:
      return "object:" + std::to_string(object->object_index);
  }
}

std::u16string World::LevelPath() const {
  return u"/Game/Maps/" + map_name_ + u"." + map_name_ + u":PersistentLevel";
}

std::u16string World::PathNameOf(const ObjectBase* object) const {
  const std::u16string name = names_.ToString(object->name_private);
  switch (object->kind) {
    case ObjectKind::kDefaultObject:
      return object->class_private->path;
    case ObjectKind::kClass: {
      std::u16string path = static_cast<const ClassObject*>(object)->path;
      if (auto at = path.find(u"Default__"); at != std::u16string::npos) path.erase(at, 9);
      return path;
    }
    case ObjectKind::kScriptStruct:
      return u"/Script/Game." + name;
    case ObjectKind::kWorld:
      return u"/Game/Maps/" + map_name_ + u"." + map_name_;
    case ObjectKind::kLevel:
      return LevelPath();
    case ObjectKind::kRootComponent:
      return PathNameOf(static_cast<const SceneComponent*>(object)->owner) + u"." + name;
    case ObjectKind::kStatusComponent:
      return PathNameOf(static_cast<const StatusComponent*>(object)->owner) + u"." + name;
    case ObjectKind::kCheatManager:
    case ObjectKind::kPlayerData:
    case ObjectKind::kItem:
      return u"/Engine/Transient." + name;
    default:
      return LevelPath() + u"." + name;
  }
}

void World::CollectGarbage() {
  CompactLevel();
  if (garbage_ == 0) return;
  auto gone = [](const auto* object) { return object->destroyed; };
  std::erase_if(dinos_, gone);
  std::erase_if(structures_, gone);
  std::erase_if(actors_, gone);
  std::erase_if(owned_,
                [](const std::unique_ptr<ObjectBase>& object) { return object->destroyed; });
  garbage_ = 0;
}

}  // namespace game
