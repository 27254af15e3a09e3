// TestHost: a framework and game set up in the test process (allocator, RCON connection,
// a capture sink among the shared sinks, the framework's clock back at the system's), with a
// dispatcher that returns the replies of one request. Optionally loads the real plugin library
// through the framework's loader.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "framework/host/plugin_loader.h"
#include "game/memory/allocator.h"
#include "game/rcon/rcon_connection.h"
#include "tests/support/capture_sink.h"

namespace support {

// The plugin library built beside the tests.
std::string PluginPath();

class TestHost {
 public:
  TestHost();
  ~TestHost();

  void LoadPlugin();
  void UnloadPlugin();

  // Dispatches `line` as one RCON request and returns the replies it produced.
  std::vector<game::RconReply> Dispatch(const std::u16string& line, int32_t id = 7,
                                        int32_t type = 2);
  CaptureSink& log() { return *sink_; }
  int64_t live_blocks() const { return game::CurrentAllocatorCounts().live_blocks; }

 private:
  std::shared_ptr<CaptureSink> sink_;
  std::unique_ptr<framework::LoadedPlugin> plugin_;
};

}  // namespace support
