#include "server/preview/report_text.h"

#include <ctime>
#include <map>
#include <optional>
#include <vector>

#include <fmt/format.h>

namespace server {
namespace {

using Json = nlohmann::ordered_json;

std::string Plural(std::size_t n, const std::string& kind) {
  if (n == 1) return "1 " + kind;
  if (kind == "reply") return fmt::format("{} replies", n);
  return fmt::format("{} {}s", n, kind);
}

// "a, b and c"
std::string Joined(const std::vector<std::string>& parts) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i)
    text += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
  return text;
}

// Counts by kind, in order of first appearance: "640 structures and 24 dinos".
std::string CountsByKind(const Json& entities) {
  std::vector<std::string> order;
  std::map<std::string, std::size_t> counts;
  for (const Json& e : entities) {
    const std::string kind = e["kind"];
    if (counts[kind]++ == 0) order.push_back(kind);
  }
  std::vector<std::string> parts;
  for (const std::string& kind : order) parts.push_back(Plural(counts[kind], kind));
  return Joined(parts);
}

// " of tribe 1000004 (The Stone Circle)" when every entity names one team, and not team 0.
std::string OfTribe(const Json& entities, const std::map<int64_t, std::string>& tribe_names) {
  std::optional<int64_t> team;
  for (const Json& e : entities) {
    const Json* object = e.contains("object") ? &e["object"] : nullptr;
    if (object == nullptr || !object->contains("team") || !(*object)["team"].is_number_integer())
      return {};
    const auto this_team = (*object)["team"].get<int64_t>();
    if (team && *team != this_team) return {};
    team = this_team;
  }
  if (!team || *team == 0) return {};
  const auto name = tribe_names.find(*team);
  return fmt::format(" of tribe {}{}", *team,
                     name == tribe_names.end() ? "" : " (" + name->second + ")");
}

std::string TimeOfDay(int64_t epoch) {
  const std::time_t time = static_cast<std::time_t>(epoch);
  std::tm utc{};
  char text[16] = "?";
  if (gmtime_r(&time, &utc) != nullptr) std::strftime(text, sizeof text, "%H:%M:%S", &utc);
  return text;
}

std::string Summary(const Json& report, const std::map<int64_t, std::string>& tribe_names) {
  std::vector<std::string> parts;
  const Json& world = report["world"];
  for (const auto& [key, verb] : {std::pair{"removed", "remove"}, std::pair{"added", "add"}})
    if (!world[key].empty())
      parts.push_back(fmt::format("would {} {}{}", verb, CountsByKind(world[key]),
                                  OfTribe(world[key], tribe_names)));
  if (!world["changed"].empty()) parts.push_back("would change " + CountsByKind(world["changed"]));
  const Json& files = report["files"];
  for (const auto& [key, verb] : {std::pair{"created", "create"}, std::pair{"removed", "delete"},
                                  std::pair{"changed", "change"}})
    if (!files[key].empty())
      parts.push_back(fmt::format("would {} {}", verb, Plural(files[key].size(), "file")));
  std::vector<std::string> times;
  for (const Json& entry : report["scheduled"]) times.push_back(TimeOfDay(entry["due"]) + " UTC");
  if (!times.empty()) parts.push_back("would run again at " + Joined(times));
  if (parts.empty()) parts.push_back("would change nothing in the world or the files");
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : "; ") + part;
  return text + fmt::format(" ({}, {})", Plural(report["replies"].size(), "reply"),
                            Plural(report["calls"].size(), "game call"));
}

std::string Entity(const Json& e) { return e["kind"].get<std::string>() + " " + e["key"].dump(); }

}  // namespace

std::string ReportText(const Json& report, const std::map<int64_t, std::string>& tribe_names) {
  std::vector<std::string> details;
  for (const Json& reply : report["replies"])
    details.push_back("reply: " + reply["body"].get<std::string>());
  for (const Json& line : report["log"])
    details.push_back(
        fmt::format("log [{}] {}", line[0].get<std::string>(), line[1].get<std::string>()));
  const Json& world = report["world"];
  for (const Json& e : world["removed"])
    details.push_back("removed " + Entity(e) + ": " + e["object"].dump());
  for (const Json& e : world["added"])
    details.push_back("added " + Entity(e) + ": " + e["object"].dump());
  for (const Json& e : world["changed"])
    for (const auto& [name, values] : e["fields"].items())
      details.push_back(fmt::format("changed {} {}: {} -> {}", Entity(e), name, values[0].dump(),
                                    values[1].dump()));
  for (const auto& [key, files] : report["files"].items())
    for (const Json& path : files)
      details.push_back("file " + key + ": " + path.get<std::string>());
  for (const Json& entry : report["scheduled"])
    details.push_back(
        fmt::format("at {} UTC: {}", TimeOfDay(entry["due"]), entry["what"].get<std::string>()));

  std::string text = Summary(report, tribe_names);
  const std::size_t shown = std::min(details.size(), kReportTextLines);
  for (std::size_t i = 0; i < shown; ++i) text += "\n" + details[i];
  if (shown < details.size())
    text += fmt::format("\n... and {} more lines", details.size() - shown);
  return text;
}

}  // namespace server
