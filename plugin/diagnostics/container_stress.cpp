#include "diagnostics/container_stress.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <list>
#include <map>
#include <set>
#include <tuple>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include <sdk/tarray.h>

#include "core/plugin_logger.h"

namespace orvane::diagnostics {
namespace {

constexpr int32_t kSearchPasses = 100000;
// Search times are logged divided by this, truncated.
constexpr int64_t kSearchTimeDivisor = 100000;

// The containers, in the order in which every phase and summary treats them.
using Containers =
    std::tuple<TArray<int32_t>, std::unordered_map<int32_t, int32_t>, std::map<int32_t, int32_t>,
               std::vector<int32_t>, std::list<int32_t>, std::set<int32_t>, std::deque<int32_t>>;
constexpr std::array<const char*, 7> kNames = {"TArray", "Unordered_map", "map",  "vector",
                                               "list",   "set",           "deque"};
using Times = std::array<int64_t, 7>;

// Until the library is unloaded.
Containers& TheContainers() {
  static Containers containers;
  return containers;
}

// Empties every container and gives its storage back (clear() alone keeps a vector's).
void Release(Containers& containers) { containers = Containers{}; }

// Runs `each(index, container)` for every container in order; gives the times it returns.
template <class Each>
Times ForEachContainer(Containers& containers, Each each) {
  Times times{};
  std::size_t index = 0;
  std::apply([&](auto&... container) { ((times[index] = each(index, container), ++index), ...); },
             containers);
  return times;
}

template <class Work>
int64_t TimedMilliseconds(Work work) {
  const MonotonicTime start = platform::MonotonicNow();
  work();
  return WholeMillisecondsSince(start);
}

void LogSummary(const char* title, const Times& times) {
  spdlog::logger& log = PluginLogger::Get();
  log.info(title);
  for (std::size_t i = 0; i < kNames.size(); ++i) log.info("{}: {}ms", kNames[i], times[i]);
}

// Keyed containers map each integer to itself (or hold it, for the set); sequences append it.
template <class Container>
concept Keyed = requires {
  typename Container::key_type;
};

template <class Container>
void Insert(Container& items, int32_t i) {
  if constexpr (std::is_same_v<Container, TArray<int32_t>>) {
    items.Add(i);
  } else if constexpr (std::is_same_v<Container, std::set<int32_t>>) {
    items.insert(i);
  } else if constexpr (Keyed<Container>) {
    items[i] = i;
  } else {
    items.push_back(i);
  }
}

// Sequences: every pass scans from the first element, so all passes run. Keyed containers:
// the passes stop at the first lookup that finds the value. `wanted` is read afresh for each
// pass so that no pass can be folded into another.
template <class Container>
bool Search(const Container& items, const volatile int32_t& wanted) {
  bool found = false;
  for (int32_t pass = 0; pass < kSearchPasses; ++pass) {
    const int32_t value = wanted;
    if constexpr (Keyed<Container>) {
      if (items.find(value) != items.end()) return true;
    } else {
      found = std::find(items.begin(), items.end(), value) != items.end();
    }
  }
  return found;
}

}  // namespace

int64_t WholeMillisecondsSince(MonotonicTime start) {
  const auto elapsed = platform::MonotonicNow() - start;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 1000000;
}

void RunInsertionPhase(int32_t value_to_stress) {
  Containers& containers = TheContainers();
  Release(containers);
  const Times times = ForEachContainer(containers, [&](std::size_t, auto& items) {
    return TimedMilliseconds([&] {
      for (int32_t i = 0; i < value_to_stress; ++i) Insert(items, i);
    });
  });
  LogSummary("######## Add Summery: ########", times);
  PluginLogger::Get().info("");
}

void RunSearchPhase(int32_t value_to_find) {
  Containers& containers = TheContainers();
  const volatile int32_t wanted = value_to_find;
  spdlog::logger& log = PluginLogger::Get();
  // The not-found line falls inside the container's measured time.
  const Times times = ForEachContainer(containers, [&](std::size_t index, const auto& items) {
    const int64_t ms = TimedMilliseconds([&] {
      if (!Search(items, wanted)) log.error("Value not found for {}!", kNames[index]);
    });
    return ms / kSearchTimeDivisor;
  });
  LogSummary("######## Search Summery: ########", times);
  Release(containers);
}

}  // namespace orvane::diagnostics
