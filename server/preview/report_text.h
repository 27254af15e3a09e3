// The preview report as readable lines: a summary first ("would remove 640 structures and 24
// dinos; would create 1 file; would run again at 12:00:15 and 12:00:20"), then the replies, the
// log lines, the world changes, the files and the scheduled repeats, at most kReportTextLines
// detail lines with the count of those left out. Pure.
#pragma once

#include <cstddef>
#include <string>

#include <nlohmann/json.hpp>

namespace server {

inline constexpr std::size_t kReportTextLines = 40;

std::string ReportText(const nlohmann::ordered_json& report);

}  // namespace server
