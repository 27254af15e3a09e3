// The shared log sinks and the framework's own logger over them. Sinks are thread-safe (_mt).
#pragma once

#include <memory>

#include <spdlog/logger.h>

namespace framework {

void AddLogSink(std::shared_ptr<spdlog::sinks::sink> sink);
void ClearLogSinks();
// The framework's own logger ("framework"), rebuilt when the sinks change.
spdlog::logger& FrameworkLog();

}  // namespace framework
