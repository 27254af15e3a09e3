#include "bench/support/dump_baselines.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <fmt/format.h>
#include <sdk/fstring.h>

#include "game/objects/objects.h"
#include "game/world/world.h"

namespace bench {
namespace {

using game::ActorBase;
using game::ClassObject;
using game::ObjectKind;

game::World& W() { return game::World::Installed(); }

// As the plugin narrows text for its files: units below 128 pass, every other becomes '?'.
std::string Narrow(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
  return out;
}

FVector WorldPosition(const ActorBase& actor) {
  return actor.root_component != nullptr ? actor.root_component->component_to_world.Translation
                                         : FVector{};
}

std::u16string ClassName(const ClassObject* cls) { return W().names().ToString(cls->name_private); }

// "Blueprint'<path of the class's default object, without a final _C>'".
std::u16string ClassBlueprint(const ClassObject* cls) {
  std::u16string path = W().PathNameOf(cls->default_object);
  if (path.size() >= 2 &&
      FGenericPlatformStricmp::Stricmp(path.c_str() + path.size() - 2, u"_C") == 0)
    path.resize(path.size() - 2);
  return u"Blueprint'" + path + u"'";
}

// The blueprint of an actor: its class's, without "Default__".
std::u16string ActorBlueprint(const ClassObject* cls) {
  std::u16string path = ClassBlueprint(cls);
  const std::u16string_view cut = u"Default__";
  for (auto at = path.find(cut); at != std::u16string::npos; at = path.find(cut, at))
    path.erase(at, cut.size());
  return path;
}

struct IgnoringCaseLess {
  bool operator()(const std::u16string& a, const std::u16string& b) const {
    return FGenericPlatformStricmp::Stricmp(a.c_str(), b.c_str()) < 0;
  }
};
using Counts = std::map<std::u16string, int32_t, IgnoringCaseLess>;

// Counts the level's actors that `key_of` gives a key for, the key made once per class.
template <class KeyOf>
Counts CountByClass(KeyOf key_of) {
  Counts counts;
  std::unordered_map<const ClassObject*, int32_t*> of_class;
  W().ForEachLevelActor([&](ActorBase* actor) {
    auto [slot, first] = of_class.try_emplace(actor->class_private, nullptr);
    if (first) {
      if (auto key = key_of(*actor))
        slot->second = &counts.try_emplace(std::move(*key), 0).first->second;
    }
    if (slot->second != nullptr) ++*slot->second;
  });
  return counts;
}

bool IsDino(const ActorBase& actor) { return actor.kind == ObjectKind::kDino; }
bool IsStructure(const ActorBase& actor) { return actor.kind == ObjectKind::kStructure; }

void AppendActorPos(std::string& text, const char* wanted) {
  const std::u16string wanted_name(wanted, wanted + std::char_traits<char>::length(wanted));
  std::string key;
  std::unordered_map<const ClassObject*, bool> matches;
  W().ForEachLevelActor([&](ActorBase* actor) {
    auto [match, first] = matches.try_emplace(actor->class_private, false);
    if (first)
      match->second = FGenericPlatformStricmp::Stricmp(ClassName(actor->class_private).c_str(),
                                                       wanted_name.c_str()) == 0;
    if (!match->second) return;
    if (key.empty()) key = Narrow(ClassName(actor->class_private));
    const FVector at = WorldPosition(*actor);
    fmt::format_to(std::back_inserter(text), "{} - Location X={:g} Y={:g} Z={:g}\n", key,
                   double(at.X), double(at.Y), double(at.Z));
  });
}

void AppendAllActorsPos(std::string& text) {
  std::unordered_map<const ClassObject*, std::string> names;
  W().ForEachLevelActor([&](ActorBase* actor) {
    if (!IsDino(*actor) && !IsStructure(*actor)) return;
    auto [name, first] = names.try_emplace(actor->class_private);
    if (first) name->second = Narrow(ClassName(actor->class_private));
    const FVector at = WorldPosition(*actor);
    fmt::format_to(std::back_inserter(text), "{} - X={:.3f} Y={:.3f} Z={:.3f}\n", name->second,
                   double(at.X), double(at.Y), double(at.Z));
  });
}

void AppendAllStructures(std::string& text) {
  std::unordered_map<const ClassObject*, std::string> lines;
  W().ForEachLevelActor([&](ActorBase* actor) {
    if (!IsStructure(*actor) || actor->targeting_team == 0) return;
    auto [line, first] = lines.try_emplace(actor->class_private);
    if (first) line->second = Narrow(ActorBlueprint(actor->class_private)) + '\n';
    text += line->second;
  });
}

// The tamed structures in the sphere, one group per team and class in the order first found.
// (The command also lets a structure join a group whose blueprint lies inside its own; the
// generated worlds have no such pair, and the bytes are compared after each run.)
void AppendStructuresInRadius(std::string& text, const Sphere& sphere) {
  struct Group {
    std::string owner;
    int32_t team;
    std::string blueprint;
    int32_t count;
  };
  std::vector<Group> groups;
  std::map<std::pair<int32_t, const ClassObject*>, std::size_t> index;
  int32_t total = 0;
  W().ForEachLevelActor([&](ActorBase* actor) {
    if (!IsStructure(*actor) || actor->targeting_team <= 50000) return;
    const FVector at = WorldPosition(*actor);
    const double dx = at.X - sphere.x, dy = at.Y - sphere.y, dz = at.Z - sphere.z;
    if (!(std::sqrt(dx * dx + dy * dy + dz * dz) <= sphere.radius)) return;
    ++total;
    auto [slot, first] =
        index.try_emplace({actor->targeting_team, actor->class_private}, groups.size());
    if (first) {
      groups.push_back({Narrow(static_cast<game::Structure*>(actor)->owner_name.View()),
                        actor->targeting_team, Narrow(ClassBlueprint(actor->class_private)), 0});
    }
    ++groups[slot->second].count;
  });
  auto out = std::back_inserter(text);
  for (const Group& g : groups)
    fmt::format_to(out, "{}({}) - {}({})\n", g.owner, g.team, g.blueprint, g.count);
  const auto added = static_cast<int32_t>(groups.size());
  fmt::format_to(out, "Structures: {} (Added) {} (Updated) {} (Total)", added, total - added,
                 total);
}

void AppendCounts(std::string& text, DumpFile file) {
  auto out = std::back_inserter(text);
  switch (file) {
    case DumpFile::kAllActors:
      for (const auto& [name, count] : CountByClass(
               [](const ActorBase& a) { return std::optional(ClassName(a.class_private)); }))
        fmt::format_to(out, "[{}]: {}\n", Narrow(name), count);
      return;
    case DumpFile::kAllActorsBp: {
      const Counts counts = CountByClass(
          [](const ActorBase& a) { return std::optional(ActorBlueprint(a.class_private)); });
      std::vector<const Counts::value_type*> by_count;
      for (const auto& entry : counts) by_count.push_back(&entry);
      std::stable_sort(by_count.begin(), by_count.end(),
                       [](auto* a, auto* b) { return a->second < b->second; });
      for (const auto* entry : by_count)
        fmt::format_to(out, "[\"{}\"]: {},\n", Narrow(entry->first), entry->second);
      return;
    }
    case DumpFile::kAllDinos:
      for (const auto& [path, count] : CountByClass([](const ActorBase& a) {
             return IsDino(a) ? std::optional(ClassBlueprint(a.class_private)) : std::nullopt;
           }))
        fmt::format_to(out, "{}: Count {}\n", Narrow(path), count);
      return;
    default:
      return;
  }
}

}  // namespace

const char* DumpFileName(DumpFile file) {
  switch (file) {
    case DumpFile::kNone:
      return "";
    case DumpFile::kActorPos:
      return "ActorPos.txt";
    case DumpFile::kAllActorsPos:
      return "AllActorsPos.txt";
    case DumpFile::kAllActors:
      return "AllActors.txt";
    case DumpFile::kAllActorsBp:
      return "AllActorsBP.txt";
    case DumpFile::kAllDinos:
      return "AllDinos.txt";
    case DumpFile::kAllStructures:
      return "AllStructuresDump.txt";
    case DumpFile::kStructuresInRadius:
      return "AllStructuresInRadiusDump.txt";
  }
  return "";
}

std::size_t WriteDumpBaseline(DumpFile file, const char* class_name, const Sphere& sphere,
                              const std::string& folder) {
  std::string text;
  switch (file) {
    case DumpFile::kActorPos:
      AppendActorPos(text, class_name);
      break;
    case DumpFile::kAllActorsPos:
      AppendAllActorsPos(text);
      break;
    case DumpFile::kAllStructures:
      AppendAllStructures(text);
      break;
    case DumpFile::kStructuresInRadius:
      AppendStructuresInRadius(text, sphere);
      break;
    default:
      AppendCounts(text, file);
      break;
  }
  const std::string path = folder + "/" + DumpFileName(file);
  if (std::FILE* out = std::fopen(path.c_str(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
  return text.size();
}

}  // namespace bench
