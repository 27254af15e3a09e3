// How the listener writes durations and moments in its log lines.
#pragma once

#include <chrono>
#include <string>

namespace server::rcon {

// "300", "0.4": a duration in seconds.
std::string Seconds(std::chrono::steady_clock::duration d);

// The wall-clock time of day ("14:05:09", local time) at which the steady-clock moment `at`
// falls, given that it is `now` on that clock.
std::string TimeOfDay(std::chrono::steady_clock::time_point at,
                      std::chrono::steady_clock::time_point now);

}  // namespace server::rcon
