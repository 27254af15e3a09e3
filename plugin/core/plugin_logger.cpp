#include "core/plugin_logger.h"

#include <memory>

#include <sdk/api.h>

namespace orvane {
namespace {

std::shared_ptr<spdlog::logger> MakeLogger() {
  auto& sinks = GetLogSinks();
  auto logger = std::make_shared<spdlog::logger>("Orvane", sinks.begin(), sinks.end());
  logger->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
  logger->flush_on(spdlog::level::info);
  return logger;
}

// Holds a logger from its construction on, so Get never sees an empty holder and never writes.
struct Holder {
  std::shared_ptr<spdlog::logger> logger = MakeLogger();
};

// Initialised once under the compiler's guard; destroyed from the library's own exit list when
// it is unloaded.
Holder& GetHolder() {
  static Holder holder;
  return holder;
}

}  // namespace

void PluginLogger::Create() { GetHolder().logger = MakeLogger(); }

spdlog::logger& PluginLogger::Get() { return *GetHolder().logger; }

}  // namespace orvane
