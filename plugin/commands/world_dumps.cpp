// World dumps: surveys of the level's actors (or of the structures inside a sphere) written to a
// report file in the plugin's folder, each with one reply saying how much was found. A new
// request always replaces the file. What depends only on an actor's class (its name, its
// blueprint path, whether it is a dino or a structure) is worked out once per class, since a
// level holds many actors of few classes.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <sdk/api.h>

#include "commands/command_groups.h"
#include "core/counting_table.h"
#include "core/dump_file.h"
#include "core/format.h"
#include "core/narrow.h"
#include "host/game_access.h"
#include "queries/blueprint_names.h"
#include "queries/entity_lookup.h"
#include "queries/per_class.h"
#include "queries/positions.h"
#include "queries/radius_groups.h"

namespace orvane {
namespace {

using host::Call;
using host::Field;

constexpr std::string_view kActorPosFile = "ActorPos.txt";
constexpr std::string_view kAllActorsPosFile = "AllActorsPos.txt";
constexpr std::string_view kAllActorsFile = "AllActors.txt";
constexpr std::string_view kAllActorsBpFile = "AllActorsBP.txt";
constexpr std::string_view kAllDinosFile = "AllDinos.txt";
constexpr std::string_view kAllStructuresFile = "AllStructuresDump.txt";
constexpr std::string_view kRadiusFile = "AllStructuresInRadiusDump.txt";

// The second piece of every reply that names a file.
FString GeneratedNote(std::string_view file) {
  return Format(u" - Successfully generated file '{}' in plugins root folder!", file);
}

bool IsDinoOrStructure(const AActor* actor) {
  return IsActorOfClass(actor, host::DinoClass()) || IsActorOfClass(actor, host::StructureClass());
}

void GetActorPos(Request& request) {
  DumpFile file(kActorPosFile);  // first: even a request without its word empties the file
  if (!request.RequireWithUsage("Not enough arguments: GetActor <Class>")) return;
  FString wanted;
  if (!request.Guarded([&] { wanted = request.Args().Text(1); })) return;
  // Every matching class name equals the word ignoring case, so all matches share one key of the
  // case-insensitive order, spelled as the first match spells it; the locations follow in walk
  // order under it.
  PerClass<bool> matches;
  std::string key;
  std::string text;
  int32_t found = 0;
  ReadEachLevelActor([&](AActor* actor) {
    if (!matches.Get(host::ClassOf(actor),
                     [&] { return host::EqualsIgnoringCase(ActorClassName(actor), wanted); }))
      return;
    if (found++ == 0) key = ToNarrowString(ActorClassName(actor)) + " - Location X=";
    const FVector at = WorldPositionOf(actor);
    text += key;
    AppendFormatG(text, at.X);
    text += " Y=";
    AppendFormatG(text, at.Y);
    text += " Z=";
    AppendFormatG(text, at.Z);
    text += '\n';
  });
  file.Write(text);
  file.Close();
  request.Reply(Format(u"Found {} actors!", found) + GeneratedNote(kActorPosFile));
}

void GetAllActorsPos(Request& request) {
  DumpFile file(kAllActorsPosFile);
  // Each dino or structure class's name, narrowed once, with the separator; none for others.
  PerClass<std::optional<std::string>> names;
  std::string text;
  int32_t count = 0;
  ReadEachLevelActor([&](AActor* actor) {
    const auto& name = names.Get(host::ClassOf(actor), [&]() -> std::optional<std::string> {
      if (!IsDinoOrStructure(actor)) return std::nullopt;
      return ToNarrowString(ActorClassName(actor)) + " - ";
    });
    if (!name) return;
    ++count;
    text += *name;
    AppendPositionText(text, WorldPositionOf(actor));
    text += '\n';
  });
  request.Reply(Format(u"Found {} Actors!", count) + GeneratedNote(kAllActorsPosFile));
  file.Write(text);
}

// Counts every actor of the level into `table` under the key that `key_of(actor)` gives, asked
// once per class. Returns how many actors there were.
template <class KeyOf>
int32_t CountLevelActorsByClass(CountingTable& table, KeyOf key_of) {
  PerClass<int32_t*> counts;  // each class's count in the table
  int32_t total = 0;
  ReadEachLevelActor([&](AActor* actor) {
    ++total;
    ++*counts.Get(host::ClassOf(actor), [&] { return &table.CountOf(key_of(actor)); });
  });
  return total;
}

void GetAllActors(Request& request) {
  DumpFile file(kAllActorsFile);
  CountingTable table;
  const int32_t total = CountLevelActorsByClass(table, ActorClassName);
  FString text;
  for (const auto& [name, count] : table) text += Format(u"[{}]: {}\n", name, count);
  request.Reply(Format(u"Found {} Actors!", total) + GeneratedNote(kAllActorsFile));
  file.Write(text);
}

void GetAllActorsBp(Request& request) {
  DumpFile file(kAllActorsBpFile);
  CountingTable table;
  const int32_t total = CountLevelActorsByClass(table, ActorBlueprintPath);
  FString text;
  for (const CountingTable::Entry* entry : table.ByCount())
    text += Format(u"[\"{}\"]: {},\n", entry->first, entry->second);
  request.Reply(Format(u"Found a total of {} Actors and unique {}", total, table.Num()) +
                GeneratedNote(kAllActorsBpFile));
  file.Write(text);
}

void GetAllDinos(Request& request) {
  DumpFile file(kAllDinosFile);
  CountingTable table;
  PerClass<int32_t*> counts;  // null for classes that are no dinos
  int32_t dinos = 0;
  ReadEachLevelActor([&](AActor* actor) {
    UClass* cls = host::ClassOf(actor);
    int32_t* count = counts.Get(cls, [&]() -> int32_t* {
      if (!IsActorOfClass(actor, host::DinoClass())) return nullptr;
      return &table.CountOf(ClassBlueprintPath(cls));
    });
    if (count == nullptr) return;
    ++dinos;
    ++*count;
  });
  FString text;
  for (const auto& [path, count] : table) text += Format(u"{}: Count {}\n", path, count);
  request.Reply(Format(u"Found {} Dinos!", dinos) + GeneratedNote(kAllDinosFile));
  file.Write(text);
}

void ListAllStructures(Request& request) {
  DumpFile file(kAllStructuresFile);
  // Each structure class's line, narrowed once; none for other classes.
  PerClass<std::optional<std::string>> lines;
  std::string text;
  ReadEachLevelActor([&](AActor* actor) {
    const auto& line = lines.Get(host::ClassOf(actor), [&]() -> std::optional<std::string> {
      if (!IsActorOfClass(actor, host::StructureClass())) return std::nullopt;
      return ToNarrowString(ActorBlueprintPath(actor)) + '\n';
    });
    if (line && TeamOf(actor) != 0) text += *line;
  });
  file.Write(text);
  file.Close();
  request.Reply("Successfully generated file 'AllStructuresDump.txt' in plugins root folder!");
}

void ListAllStructuresInRadius(Request& request) {
  if (!request.Require(u"<X> <Y> <Z> <R>")) return;
  float x = 0, y = 0, z = 0, radius = 0;
  if (!request.Guarded([&] {
        x = request.Args().Stof(1);
        y = request.Args().Stof(2);
        z = request.Args().Stof(3);
        radius = request.Args().Stof(4);
      }))
    return;
  UWorld* world = HostApi::GetApiUtils().CurrentWorld();
  if (world == nullptr) return;  // nothing to ask, and no reply
  if (radius > kMaxRadius) {
    request.Reply(
        Format(u"Please don't do that. It will cause lags! Instead, Max value for radius is {}.",
               kMaxRadius));
    return;
  }
  DumpFile file(kRadiusFile);
  FString text = StructuresInSphereReport(world, FVector{x, y, z}, radius);
  file.Write(text);
  file.Close();
  text += GeneratedNote(kRadiusFile);
  request.Reply(text);
}

}  // namespace

std::span<const CommandRow> WorldDumpRows() {
  static constexpr CommandRow kRows[] = {
      {13, "GetActorPos", &GetActorPos},
      {14, "GetAllActorsPos", &GetAllActorsPos},
      {15, "GetAllActors", &GetAllActors},
      {16, "GetAllActorsBp", &GetAllActorsBp},
      {17, "GetAllDinos", &GetAllDinos},
      {47, "ListAllStructures", &ListAllStructures},
      {48, "ListAllStructuresInRadius", &ListAllStructuresInRadius},
  };
  return kRows;
}

}  // namespace orvane
