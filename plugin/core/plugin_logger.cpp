#include "core/plugin_logger.h"

#include <memory>

#include <sdk/api.h>

namespace orvane {
namespace {

struct Holder {
  std::shared_ptr<spdlog::logger> logger;
};

// A function-local static: initialised once under the compiler's guard, destroyed from the
// library's own exit list when it is unloaded.
Holder& GetHolder() {
  static Holder holder;
  return holder;
}

}  // namespace

void PluginLogger::Create() {
  auto& sinks = GetLogSinks();
  auto logger = std::make_shared<spdlog::logger>("Orvane", sinks.begin(), sinks.end());
  logger->set_pattern("%D %R [%n][%l] %v", spdlog::pattern_time_type::local);
  logger->flush_on(spdlog::level::info);
  GetHolder().logger = std::move(logger);
}

spdlog::logger& PluginLogger::Get() {
  Holder& holder = GetHolder();
  if (!holder.logger) Create();
  return *holder.logger;
}

}  // namespace orvane
