// The preview report as readable lines: a summary first ("would remove 640 structures and 24
// dinos of tribe 1000004 (The Stone Circle); would create 1 file; would run again at 12:00:15
// and 12:00:20"), then the replies, the log lines, the world changes, the files and the scheduled
// repeats, at most kReportTextLines detail lines with the count of those left out. Entities that
// all belong to one team are said to be of that tribe, named from `tribe_names` (by id) when it
// is one. Pure.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

namespace server {

inline constexpr std::size_t kReportTextLines = 40;

std::string ReportText(const nlohmann::ordered_json& report,
                       const std::map<int64_t, std::string>& tribe_names = {});

}  // namespace server
