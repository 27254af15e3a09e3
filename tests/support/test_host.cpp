#include "tests/support/test_host.h"

#include "framework/host/address_table.h"
#include "framework/host/clock_control.h"
#include "framework/host/command_registry.h"
#include "framework/host/log_sinks.h"

namespace support {

std::string PluginPath() { return ORVANE_PLUGIN_PATH; }

TestHost::TestHost() : sink_(std::make_shared<CaptureSink>()) {
  framework::ClearAddressTable();
  game::RegisterAllocator();
  game::RegisterRconConnection();
  framework::ClearLogSinks();
  framework::AddLogSink(sink_);
  framework::ResetClock();
}

TestHost::~TestHost() {
  UnloadPlugin();
  framework::ClearLogSinks();
}

void TestHost::LoadPlugin() { plugin_ = framework::LoadedPlugin::Load(PluginPath()); }

void TestHost::UnloadPlugin() { plugin_.reset(); }

std::vector<game::RconReply> TestHost::Dispatch(const std::u16string& line, int32_t id,
                                                int32_t type) {
  game::RconConnection connection;
  RCONPacket packet;
  packet.Id = id;
  packet.Type = type;
  packet.Body = FString(std::u16string_view(line));
  framework::Dispatch(connection.Handle(), &packet, nullptr);
  return connection.replies();
}

}  // namespace support
