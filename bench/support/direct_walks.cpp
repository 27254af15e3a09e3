#include "bench/support/direct_walks.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "game/objects/objects.h"
#include "game/world/world.h"

namespace bench {
namespace {

bool Selected(const game::ActorBase& actor, Select select) {
  switch (select) {
    case Select::kDinos:
      return actor.kind == game::ObjectKind::kDino;
    case Select::kStructures:
      return actor.kind == game::ObjectKind::kStructure;
    case Select::kAllActors:
      return true;
  }
  return false;
}

bool OfTeam(int32_t team, Team wanted) {
  switch (wanted) {
    case Team::kAny:
      return true;
    case Team::kTamed:
      return team > 50000;
    case Team::kWild:
      return team < 50000;
    case Team::kUnclaimed:
      return team == 2000000000;
    case Team::kBenchTribe:
      return team == 1000001;
  }
  return false;
}

// The actors a baseline works on, in level order.
std::vector<game::ActorBase*> Matches(const Baseline& baseline) {
  std::vector<game::ActorBase*> out;
  game::World::Installed().ForEachLevelActor([&](game::ActorBase* actor) {
    if (Selected(*actor, baseline.select) && OfTeam(actor->targeting_team, baseline.team))
      out.push_back(actor);
  });
  return out;
}

void AppendLine(std::string& text, const game::ActorBase& actor) {
  for (char16_t c : actor.descriptive_name.View()) text += c < 128 ? static_cast<char>(c) : '?';
  const FVector at =
      actor.root_component != nullptr ? actor.root_component->relative_location : FVector{};
  char position[96];
  std::snprintf(position, sizeof position, ": X=%3.3f Y=%3.3f Z=%3.3f\n", at.X, at.Y, at.Z);
  text += position;
}

}  // namespace

std::size_t RunDirect(const Baseline& baseline, const std::string& folder) {
  if (baseline.work == Work::kCount) {
    std::size_t count = 0;
    game::World::Installed().ForEachLevelActor([&](game::ActorBase* actor) {
      if (Selected(*actor, baseline.select) && OfTeam(actor->targeting_team, baseline.team))
        ++count;
    });
    return ("Total: " + std::to_string(count)).size();
  }
  const std::vector<game::ActorBase*> actors = Matches(baseline);
  if (baseline.work == Work::kFeed) {
    for (game::ActorBase* actor : actors) {
      auto& status = static_cast<game::CharacterBase*>(actor)->status;
      status.current_status_values[game::kFoodStatus] = status.max_status_values[game::kFoodStatus];
    }
    return actors.size();
  }
  if (baseline.work == Work::kDestroy) {
    for (game::ActorBase* actor : actors) game::World::Installed().DestroyActor(actor);
    return actors.size();
  }
  std::string text;
  for (const game::ActorBase* actor : actors) AppendLine(text, *actor);
  if (baseline.work == Work::kDump) {
    std::ofstream file(folder + "/DirectDump.txt", std::ios::binary | std::ios::trunc);
    file << text;
  }
  return text.size();
}

}  // namespace bench
