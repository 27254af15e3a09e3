#include "server/preview/report_text.h"

#include <ctime>
#include <map>
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

std::string TimeOfDay(int64_t epoch) {
  const std::time_t time = static_cast<std::time_t>(epoch);
  std::tm utc{};
  char text[16] = "?";
  if (gmtime_r(&time, &utc) != nullptr) std::strftime(text, sizeof text, "%H:%M:%S", &utc);
  return text;
}

std::string Summary(const Json& report) {
  std::vector<std::string> parts;
  const Json& world = report["world"];
  if (!world["removed"].empty()) parts.push_back("would remove " + CountsByKind(world["removed"]));
  if (!world["added"].empty()) parts.push_back("would add " + CountsByKind(world["added"]));
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

std::string ReportText(const Json& report) {
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

  std::string text = Summary(report);
  const std::size_t shown = std::min(details.size(), kReportTextLines);
  for (std::size_t i = 0; i < shown; ++i) text += "\n" + details[i];
  if (shown < details.size())
    text += fmt::format("\n... and {} more lines", details.size() - shown);
  return text;
}

}  // namespace server
