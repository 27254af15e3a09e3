#include "queries/text_match.h"

#include <functional>

#include "host/game_access.h"
#include "queries/entity_lookup.h"

namespace orvane {

bool TextMatch::operator()(const AActor* actor) {
  Key key{host::ClassOf(actor), nullptr, nullptr};
  if (IsActorOfClass(actor, host::StructureClass())) {
    const auto* structure = static_cast<const APrimalStructure*>(actor);
    key.consumes = host::Field(structure, sym::APrimalStructure::ConsumesPrimalItem);
    key.pickup = host::Field(structure, sym::APrimalStructure::PickupGivesItem);
  }
  auto [known, added] = known_.try_emplace(key, false);
  if (added) known->second = match_(actor, text_);
  return known->second;
}

std::size_t TextMatch::KeyHash::operator()(const Key& key) const {
  const std::hash<const void*> hash;
  return hash(key.cls) ^ (hash(key.consumes) * 31) ^ (hash(key.pickup) * 131);
}

}  // namespace orvane
