#include "bench/support/direct_walks.h"

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "game/objects/objects.h"
#include "game/world/world.h"

namespace bench {
namespace {

bool Selected(const game::ActorBase& actor, Select select) {
  using game::ObjectKind;
  switch (select) {
    case Select::kDinos:
      return actor.kind == ObjectKind::kDino;
    case Select::kStructures:
      return actor.kind == ObjectKind::kStructure;
    case Select::kDinosAndStructures:
      return actor.kind == ObjectKind::kDino || actor.kind == ObjectKind::kStructure;
    case Select::kPawns:
      return actor.kind == ObjectKind::kDino || actor.kind == ObjectKind::kCharacter;
    case Select::kCharacters:
      return actor.kind == ObjectKind::kCharacter;
    case Select::kOthers:
      return actor.kind == ObjectKind::kActor || actor.kind == ObjectKind::kPawn;
    case Select::kPlaced:
      return actor.kind != ObjectKind::kController;
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

// Whether an actor passes the baseline's class name, worked out once per class.
class ClassFilter {
 public:
  explicit ClassFilter(const char* name) : name_(name == nullptr ? u"" : Wide(name)) {}
  bool operator()(const game::ActorBase& actor) {
    if (name_.empty()) return true;
    if (actor.class_private != last_class_) {
      last_class_ = actor.class_private;
      last_ = game::World::Installed().names().ToString(last_class_->name_private) == name_;
    }
    return last_;
  }

 private:
  static std::u16string Wide(const char* text) {
    return std::u16string(text, text + std::char_traits<char>::length(text));
  }
  std::u16string name_;
  const game::ClassObject* last_class_ = nullptr;
  bool last_ = false;
};

template <class Body>
void ForEachMatch(const Baseline& baseline, Body body) {
  ClassFilter of_class(baseline.class_name);
  game::World::Installed().ForEachLevelActor([&](game::ActorBase* actor) {
    if (Selected(*actor, baseline.select) && OfTeam(actor->targeting_team, baseline.team) &&
        of_class(*actor))
      body(actor);
  });
}

void AppendLine(std::string& text, const game::ActorBase& actor) {
  for (char16_t c : actor.descriptive_name.View()) text += c < 128 ? static_cast<char>(c) : '?';
  const FVector at =
      actor.root_component != nullptr ? actor.root_component->relative_location : FVector{};
  char position[96];
  std::snprintf(position, sizeof position, ": X=%3.3f Y=%3.3f Z=%3.3f\n", at.X, at.Y, at.Z);
  text += position;
}

void WriteFile(const std::string& folder, const std::string& text) {
  std::ofstream file(folder + "/DirectDump.txt", std::ios::binary | std::ios::trunc);
  file << text;
}

}  // namespace

std::size_t RunDirect(const Baseline& baseline, const std::string& folder) {
  switch (baseline.work) {
    case Work::kCount: {
      std::size_t count = 0;
      ForEachMatch(baseline, [&](game::ActorBase*) { ++count; });
      return ("Total: " + std::to_string(count)).size();
    }
    case Work::kFeed: {
      std::size_t fed = 0;
      ForEachMatch(baseline, [&](game::ActorBase* actor) {
        auto& status = static_cast<game::CharacterBase*>(actor)->status();
        status.current_status_values[game::kFoodStatus] =
            status.max_status_values[game::kFoodStatus];
        ++fed;
      });
      return fed;
    }
    case Work::kDestroy: {
      // Chosen first, then destroyed: destroying changes the level being walked.
      std::vector<game::ActorBase*> chosen;
      ForEachMatch(baseline, [&](game::ActorBase* actor) { chosen.push_back(actor); });
      for (game::ActorBase* actor : chosen) game::World::Installed().DestroyActor(actor);
      return chosen.size();
    }
    case Work::kGroup: {
      std::map<const game::ClassObject*, int32_t> counts;
      ForEachMatch(baseline, [&](game::ActorBase* actor) { ++counts[actor->class_private]; });
      std::string text;
      for (const auto& [cls, count] : counts) {
        for (char16_t c : cls->path) text += c < 128 ? static_cast<char>(c) : '?';
        text += ": " + std::to_string(count) + '\n';
      }
      WriteFile(folder, text);
      return text.size();
    }
    case Work::kFile:
      return WriteDumpBaseline(baseline.file, baseline.class_name, baseline.sphere, folder);
    case Work::kList: {
      std::string text;
      ForEachMatch(baseline, [&](game::ActorBase* actor) { AppendLine(text, *actor); });
      return text.size();
    }
  }
  return 0;
}

}  // namespace bench
