#include "framework/host/log_sinks.h"

#include <spdlog/sinks/sink.h>

#include "sdk/api.h"

namespace framework {
namespace {

std::shared_ptr<spdlog::logger>& LoggerSlot() {
  static std::shared_ptr<spdlog::logger> logger;
  return logger;
}

void Rebuild() {
  auto& sinks = GetLogSinks();
  LoggerSlot() = std::make_shared<spdlog::logger>("framework", sinks.begin(), sinks.end());
  LoggerSlot()->flush_on(spdlog::level::info);
}

}  // namespace

void AddLogSink(std::shared_ptr<spdlog::sinks::sink> sink) {
  GetLogSinks().push_back(std::move(sink));
  Rebuild();
}

void ClearLogSinks() {
  GetLogSinks().clear();
  Rebuild();
}

spdlog::logger& FrameworkLog() {
  if (!LoggerSlot()) Rebuild();
  return *LoggerSlot();
}

}  // namespace framework

std::vector<std::shared_ptr<spdlog::sinks::sink>>& GetLogSinks() {
  static std::vector<std::shared_ptr<spdlog::sinks::sink>> sinks;
  return sinks;
}
