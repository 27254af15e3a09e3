#include "queries/radius_groups.h"

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/format.h"
#include "core/narrow.h"
#include "host/game_access.h"
#include "queries/blueprint_names.h"
#include "queries/entity_lookup.h"
#include "queries/per_class.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

// The groups of the radius report. A structure joins the first group (in creation order) of its
// team whose blueprint occurs inside its own, ignoring case. When the two blueprints are the
// same (each occurs inside the other) the group counts it; otherwise it counts in the total
// only. A structure that finds no group starts one. Groups are only ever appended and keep
// their blueprint, so where a (team, class) pair lands is fixed by its first structure: it is
// looked up once per pair, and only among the groups of that team.
class RadiusGroups {
 public:
  void Add(const AActor* structure, int32_t team) {
    ++total_;
    UClass* cls = host::ClassOf(structure);
    auto [landing, first_of_pair] = landings_.try_emplace(PairKey{team, cls}, kTotalOnly);
    if (first_of_pair) {
      const FString& blueprint = blueprints_.Get(cls, [cls] { return ClassBlueprintPath(cls); });
      const std::optional<int32_t> match = FirstGroupInside(team, blueprint);
      if (!match) {
        landing->second = StartGroup(structure, team, blueprint);
        ++added_;
        return;
      }
      if (groups_[*match].blueprint.Contains(blueprint.View())) landing->second = *match;
    }
    if (landing->second == kTotalOnly) return;
    ++updated_;
    ++groups_[landing->second].count;
  }

  // One line per group, then the counts, without a final line feed.
  FString Text() const {
    FString text;
    for (const Group& group : groups_)
      text += Format(u"{}({}) - {}({})\n", group.owner, group.team, ToNarrowString(group.blueprint),
                     group.count);
    text += Format(u"Structures: {} (Added) {} (Updated) {} (Total)", added_, updated_, total_);
    return text;
  }

 private:
  static constexpr int32_t kTotalOnly = -1;
  struct Group {
    std::string owner;  // narrowed, as the report shows it
    int32_t team;
    FString blueprint;
    int32_t count;
  };
  struct PairKey {
    int32_t team;
    UClass* cls;
    bool operator==(const PairKey&) const = default;
  };
  struct PairHash {
    std::size_t operator()(const PairKey& key) const {
      return std::hash<UClass*>{}(key.cls) * 31 + std::hash<int32_t>{}(key.team);
    }
  };

  // The first group of the team, in creation order, whose blueprint occurs inside `blueprint`.
  std::optional<int32_t> FirstGroupInside(int32_t team, const FString& blueprint) const {
    const auto of_team = by_team_.find(team);
    if (of_team == by_team_.end()) return std::nullopt;
    for (int32_t index : of_team->second)
      if (blueprint.Contains(groups_[index].blueprint.View())) return index;
    return std::nullopt;
  }

  int32_t StartGroup(const AActor* structure, int32_t team, const FString& blueprint) {
    const auto* owned = static_cast<const APrimalStructure*>(structure);
    groups_.push_back(
        Group{ToNarrowString(Field(owned, sym::APrimalStructure::OwnerName)), team, blueprint, 1});
    const auto index = static_cast<int32_t>(groups_.size() - 1);
    by_team_[team].push_back(index);
    return index;
  }

  std::vector<Group> groups_;
  std::unordered_map<int32_t, std::vector<int32_t>> by_team_;  // group indices, in order
  std::unordered_map<PairKey, int32_t, PairHash> landings_;    // a group index or kTotalOnly
  PerClass<FString> blueprints_;
  int32_t added_ = 0;
  int32_t updated_ = 0;
  int32_t total_ = 0;
};

}  // namespace

FString StructuresInSphereReport(UWorld* world, const FVector& center, float radius) {
  TArray<TEnumAsByte<EObjectTypeQuery>> object_types;
  TArray<AActor*> ignored;
  TArray<AActor*> found;
  Call(sym::UKismetSystemLibrary::SphereOverlapActors, world, center, radius, object_types,
       Call(sym::AActor::StaticClass), ignored, found);
  RadiusGroups groups;
  PerClass<bool> structures;
  ForEachListedActor(found, [&](AActor* actor) {
    if (!structures.Get(host::ClassOf(actor),
                        [&] { return IsActorOfClass(actor, host::StructureClass()); }))
      return;
    const int32_t team = TeamOf(actor);
    if (team > kTamedThreshold) groups.Add(actor, team);
  });
  return groups.Text();
}

}  // namespace orvane
