#include "server/rcon/log_text.h"

#include <ctime>

#include <fmt/chrono.h>
#include <fmt/format.h>

namespace server::rcon {

std::string Seconds(std::chrono::steady_clock::duration d) {
  return fmt::format("{:g}", std::chrono::duration<double>(d).count());
}

std::string TimeOfDay(std::chrono::steady_clock::time_point at,
                      std::chrono::steady_clock::time_point now) {
  const auto wall = std::chrono::system_clock::now() +
                    std::chrono::duration_cast<std::chrono::system_clock::duration>(at - now);
  return fmt::format("{:%H:%M:%S}", fmt::localtime(std::chrono::system_clock::to_time_t(wall)));
}

}  // namespace server::rcon
