// Tribe listings: what belongs to a tribe, a player or nobody (a tribe's log, its structures
// counted, located or grouped by kind, a tribe's or a player's dinos, the unclaimed dinos), each
// in one reply. Nothing here changes the world. A tribe is a team number: a dino or structure
// belongs to tribe T when its team number is T. Tribe ids are not range-checked; an id that no
// actor carries simply finds nothing.
#include <cstdint>
#include <optional>
#include <utility>

#include "commands/command_groups.h"
#include "core/counting_table.h"
#include "core/format.h"
#include "core/narrow.h"
#include "host/game_access.h"
#include "queries/blueprint_names.h"
#include "queries/entity_lookup.h"
#include "queries/lookup_replies.h"
#include "queries/per_class.h"
#include "queries/positions.h"
#include "queries/tribe_record.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

constexpr const char* kNoPlayerDinos = "Couldn't find any dinos for this player";
constexpr const char* kNoTribeDinos = "Couldn't find any dinos for this tribe";
constexpr const char* kNoUnclaimedDinos = "Couldn't find any Unclaimed Dinos";

// Runs `body` for every actor of the class, in the game's order, null entries skipped.
template <class Body>
void ForEachOfClass(UClass* cls, Body body) {
  ForEachListedActor(GetActorsOfClass(cls), body);
}

template <class Body>
void ForEachUnclaimedDino(Body body) {
  ForEachOfClass(host::DinoClass(), [&](AActor* actor) {
    if (IsUnclaimedTeam(TeamOf(actor))) body(static_cast<APrimalDinoCharacter*>(actor));
  });
}

template <class Body>
void ForEachTribeStructure(int32_t tribe_id, Body body) {
  ForEachOfClass(host::StructureClass(), [&](AActor* actor) {
    if (TeamOf(actor) == tribe_id) body(static_cast<APrimalStructure*>(actor));
  });
}

// The optional compact flag in word 2: on when it converts to a non-zero number.
bool CompactFlag(const CommandArgs& args) { return args.Num() > 2 && args.Stoi(2) != 0; }

// The name the game gives the dino, with its level and, when asked, its species.
FString DinoDescriptiveName(APrimalDinoCharacter* dino, bool with_species) {
  FString name;
  Call(sym::APrimalDinoCharacter::GetDinoDescriptiveName, dino, &name, true, with_species);
  return name;
}

// One line per dino of the team, in the game's order; `none` when there is no such dino.
void ReplyWithTeamDinos(Request& request, int32_t team, bool compact, bool with_species,
                        const char* none) {
  FString lines;
  int32_t count = 0;
  ForEachOfClass(host::DinoClass(), [&](AActor* actor) {
    if (TeamOf(actor) != team) return;
    auto* dino = static_cast<APrimalDinoCharacter*>(actor);
    const uint32_t id1 = Field(dino, sym::APrimalDinoCharacter::DinoID1);
    const uint32_t id2 = Field(dino, sym::APrimalDinoCharacter::DinoID2);
    if (compact) {
      lines += Format(u"{} {}:{}\n", Field(dino, sym::APrimalCharacter::DescriptiveName), id1, id2);
    } else {
      lines += Format(u"{} Id1:{} Id2:{}\n", DinoDescriptiveName(dino, with_species), id1, id2);
    }
    ++count;
  });
  if (count == 0) return request.Reply(none);
  request.Reply(lines);
}

// The tribe's log, each entry followed by a line feed; nothing when the game cannot load the
// tribe. The record and the game's strings in it are released before this returns.
std::optional<FString> TribeLogText(int32_t record_size, int32_t tribe_id) {
  TribeRecord record(record_size);
  if (!record.Load(tribe_id)) return std::nullopt;
  FString text;
  for (const FString& entry : Field(record.get(), sym::FTribeData::TribeLog)) {
    text += entry;
    text += u"\n";
  }
  return text;
}

// Whether `name` occurs, ignoring case, in the structure's consumed item path, its pickup item
// path, its own path or its descriptive name, tried in that order. The paths depend on classes
// only, so they are worked out once per class.
class StructureNameMatch {
 public:
  explicit StructureNameMatch(FString name) : name_(std::move(name)) {}

  bool operator()(const APrimalStructure* structure) {
    UClass* consumed = Field(structure, sym::APrimalStructure::ConsumesPrimalItem);
    if (Occurs(item_paths_.Get(consumed, [consumed] { return ClassBlueprintPath(consumed); })))
      return true;
    UClass* pickup = Field(structure, sym::APrimalStructure::PickupGivesItem);
    if (Occurs(item_paths_.Get(pickup, [pickup] { return ClassBlueprintPath(pickup); })))
      return true;
    if (Occurs(own_paths_.Get(host::ClassOf(structure),
                              [structure] { return ActorBlueprintPath(structure); })))
      return true;
    return Occurs(Field(structure, sym::APrimalTargetableActor::DescriptiveName));
  }

 private:
  bool Occurs(const FString& text) const { return text.Contains(name_.View()); }

  FString name_;
  PerClass<FString> item_paths_;
  PerClass<FString> own_paths_;
};

void GetTribeLog(Request& request) {
  static TribeRecordSize record_size;  // worked out at the first use, then kept
  const std::optional<int32_t> tribe_id = ReadTribeId(request, u"<TribeID>");
  if (!tribe_id) return;
  const std::optional<FString> log = TribeLogText(record_size.Get(), *tribe_id);
  if (!log) return request.Reply("Failed to load tribe data");
  request.Reply(*log);
}

void GetTribeStructureCount(Request& request) {
  const std::optional<int32_t> tribe_id = ReadTribeId(request, u"<TribeID>");
  if (!tribe_id) return;
  int32_t count = 0;
  ForEachTribeStructure(*tribe_id, [&](APrimalStructure*) { ++count; });
  request.Reply(Format(u"Total Structure Count: {}", count));
}

void GetTribeStructurePos(Request& request) {
  FString name;
  const std::optional<int32_t> tribe_id =
      ReadTribeId(request, u"<tribeid> <StructureName>", [&] { name = request.Args().Text(2); });
  if (!tribe_id) return;
  StructureNameMatch matches(std::move(name));
  FString text;
  int32_t count = 0;
  ForEachTribeStructure(*tribe_id, [&](APrimalStructure* structure) {
    if (!matches(structure)) return;
    const FVector at = RelativePositionOf(structure);
    const MapCoordinates map = MapCoordinatesOf(at);
    text += Format(u"{}) {} - {} ({}/{})\n", ++count,
                   ToNarrowString(Field(structure, sym::APrimalTargetableActor::DescriptiveName)),
                   ToNarrowString(PositionText(at)), CutToTwoDecimals(map.latitude),
                   CutToTwoDecimals(map.longitude));
  });
  text += Format(u"Total Count {}", count);
  request.Reply(text);
}

void ListPlayerDinos(Request& request) {
  if (!request.Require(u"<EOS-ID> (UseCompactMode)")) return;
  bool compact = false;
  AShooterPlayerController* player =
      ReadArgsAndFindPlayer(request, [&] { compact = CompactFlag(request.Args()); });
  if (player == nullptr) return;
  ReplyWithTeamDinos(request, TeamOf(player), compact, /*with_species=*/true, kNoPlayerDinos);
}

void ListTribeDinos(Request& request) {
  bool compact = false;
  const std::optional<int32_t> tribe_id = ReadTribeId(
      request, u"<TribeID> (UseCompactMode)", [&] { compact = CompactFlag(request.Args()); });
  if (!tribe_id) return;
  ReplyWithTeamDinos(request, *tribe_id, compact, /*with_species=*/false, kNoTribeDinos);
}

void ListTribeStructures(Request& request) {
  bool compact = false;
  const std::optional<int32_t> tribe_id = ReadTribeId(
      request, u"<TribeID> (UseCompactMode)", [&] { compact = CompactFlag(request.Args()); });
  if (!tribe_id) return;
  CountingTable groups;
  PerClass<int32_t*> blueprint_counts;  // each class's group when grouping by blueprint
  int32_t total = 0;
  ForEachTribeStructure(*tribe_id, [&](APrimalStructure* structure) {
    ++total;
    if (compact) {
      groups.Add(Field(structure, sym::APrimalTargetableActor::DescriptiveName));
    } else {
      ++*blueprint_counts.Get(host::ClassOf(structure),
                              [&] { return &groups.CountOf(ActorBlueprintPath(structure)); });
    }
  });
  FString text;
  for (const CountingTable::Entry* group : groups.ByCount())
    text += Format(u"[\"{}\"]: {},\n", ToNarrowString(group->first), group->second);
  text += Format(u"Found a total of {} structures", total);
  request.Reply(text);
}

void ListUnclaimedDinos(Request& request) {
  FString lines;
  int32_t count = 0;
  ForEachUnclaimedDino([&](APrimalDinoCharacter* dino) {
    lines += Format(u"{}, ID1={}, ID2={}\n", DinoDescriptiveName(dino, /*with_species=*/false),
                    Field(dino, sym::APrimalDinoCharacter::DinoID1),
                    Field(dino, sym::APrimalDinoCharacter::DinoID2));
    ++count;
  });
  if (count == 0) return request.Reply(kNoUnclaimedDinos);
  request.Reply(lines);
}

void ListUnclaimedDinosAmount(Request& request) {
  int32_t count = 0;
  ForEachUnclaimedDino([&](APrimalDinoCharacter*) { ++count; });
  request.Reply(count > 0 ? Format(u"Amount of unclaimed: {}", count) : FString(kNoUnclaimedDinos));
}

}  // namespace

std::span<const CommandRow> TribeListingRows() {
  static constexpr CommandRow kRows[] = {
      {27, "GetTribeLog", &GetTribeLog},
      {29, "GetTribeStructureCount", &GetTribeStructureCount},
      {30, "GetTribeStructurePos", &GetTribeStructurePos},
      {51, "ListPlayerDinos", &ListPlayerDinos},
      {52, "ListTribeDinos", &ListTribeDinos},
      {54, "ListTribeStructures", &ListTribeStructures},
      {55, "ListUnclaimedDinos", &ListUnclaimedDinos},
      {56, "ListUnclaimedDinosAmount", &ListUnclaimedDinosAmount},
  };
  return kRows;
}

}  // namespace orvane
