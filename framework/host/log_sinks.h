// The shared log sinks and the framework's own logger over them. Sinks are thread-safe (_mt).
#pragma once

#include <memory>

#include <spdlog/logger.h>

namespace framework {

// `sink` receives every line with its control characters escaped (a newline in a line as
// "\n", an escape character as "\x1b"), whoever logged it.
void AddLogSink(std::shared_ptr<spdlog::sinks::sink> sink);
void ClearLogSinks();
// The framework's own logger ("framework"), rebuilt when the sinks change.
spdlog::logger& FrameworkLog();

}  // namespace framework
