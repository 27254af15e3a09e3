#include <type_traits>

#include "game/util/text.h"
#include "game/world/dino_key.h"
#include "game/world/world.h"

namespace game {
namespace {

void FillStatus(StatusComponent& status, float health, float food_now, float food_max) {
  constexpr float kDefaults[kStatusCount] = {0, 100, 100, 100, 0, 100, 0, 0, 100, 100, 0, 0};
  for (int i = 0; i < kStatusCount; ++i) status.max_status_values[i] = kDefaults[i];
  status.max_status_values[0] = health;
  status.max_status_values[kFoodStatus] = food_max;
  for (int i = 0; i < kStatusCount; ++i)
    status.current_status_values[i] = status.max_status_values[i];
  status.current_status_values[kFoodStatus] = food_now;
}

}  // namespace

ClassObject* World::MakeClass(std::u16string_view name, StructObject* super, std::u16string path,
                              std::optional<ClassKind> made_as) {
  auto* cls = Own<ClassObject>();
  cls->name_private = names_.Add(name);
  cls->super_struct = super;
  cls->path = std::move(path);
  cls->made_as = made_as;
  cls->properties_size =
      super != nullptr ? super->properties_size : static_cast<int32_t>(sizeof(ObjectBase));
  Register(cls);
  auto* cdo = Own<DefaultObject>();
  cdo->class_private = cls;
  cdo->name_private = names_.Add(u"Default__" + std::u16string(name));
  Register(cdo);
  cls->default_object = cdo;
  classes_.emplace(ToUtf8(name), cls);
  return cls;
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

Dino* World::MakeDino(ClassObject* cls, const DinoDescription& d, uint32_t id1, uint32_t id2) {
  Dino* dino = MakeOf<Dino>(cls);
  dino->dino_id1 = id1;
  dino->dino_id2 = id2;
  dino->targeting_team = d.team;
  dino->descriptive_name = ToFString(d.name.value_or(ToUtf8(SpeciesOf(*dino))));
  dino->absolute_base_level = d.level;
  dino->root().SetLocation(ToVector(d.position));
  dino->dead = d.dead;
  FillStatus(dino->status(), 1000.0F, d.food[0], d.food[1]);
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
  // The first live dino of an id pair is the one found; a destroyed one's entry is taken over.
  auto [entry, added] = dino_index_.try_emplace(DinoKey(id1, id2), dino);
  if (!added && IsDestroyed(*entry->second)) entry->second = dino;
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
  structure->root().SetLocation(ToVector(s.position));
  structures_.push_back(structure);
  AddToLevel(structure);
  return structure;
}

PlayerCharacter* World::MakeCharacter(Player& player) {
  const PlayerDescription& p = player.description;
  PlayerCharacter* character = Make<PlayerCharacter>(Native::kPlayerPawn);
  character->player = &player;
  character->targeting_team = p.team;
  character->root().SetLocation(ToVector(p.position));
  character->player_name = ToFString(p.character_name);
  character->descriptive_name = ToFString(p.character_name);
  character->linked_player_data_id = *p.linked_player_data_id;
  character->dead = p.character == CharacterState::kDead;
  FillStatus(character->status(), 200.0F, 100.0F, 100.0F);
  player.character = character;
  AddToLevel(character);
  return character;
}

ItemObject* World::MakeItem() { return Make<ItemObject>(Native::kItem); }

}  // namespace game
