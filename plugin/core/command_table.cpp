#include "core/command_table.h"

#include <sdk/api.h>

#include "core/request.h"

namespace orvane {
namespace {

constexpr const char* kMarkerCommand = "Orvane.info";

int32_t registration_count = 0;

void MarkerCommand(RCONClientConnection*, RCONPacket*, UWorld*) {}

}  // namespace

void Load(std::span<const CommandRow> rows) {
  HostApi::ICommands& commands = HostApi::GetCommands();
  commands.AddRconCommand(FString(kMarkerCommand), &MarkerCommand);
  for (const CommandRow& row : rows) {
    commands.AddRconCommand(FString(row.name),
                            [row](RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
                              Request request(connection, packet, row.name);
                              row.handler(request);
                            });
    ++registration_count;
  }
}

void Unload(std::span<const CommandRow> rows) {
  HostApi::ICommands& commands = HostApi::GetCommands();
  commands.RemoveRconCommand(FString(kMarkerCommand));
  for (const CommandRow& row : rows) commands.RemoveRconCommand(FString(row.name));
}

int32_t RegistrationCount() { return registration_count; }

}  // namespace orvane
