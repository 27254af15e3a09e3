// Profile removal: deletes one player's profile file, named after the EOS id, from the map
// folder of the server's save folder. Works on files only; the player is not looked up. The
// process's current directory is left at that folder, whatever the outcome.
#include <filesystem>
#include <string>

#include "commands/command_groups.h"
#include "core/format.h"
#include "core/narrow.h"
#include "core/platform.h"
#include "core/plugin_logger.h"
#include "queries/map_names.h"

namespace orvane {
namespace {

// A profile is named by a bare file name. A word holding a path separator, a NUL (which would
// cut the name short) or any other control character names no file in the profile folder.
bool NamesAProfile(const FString& eos_id) {
  for (const char16_t c : eos_id.View())
    if (c == u'/' || c == u'\\' || c < 0x20 || c == 0x7F) return false;
  return true;
}

// Sends the text and writes it to the log.
void ReplyAndLog(Request& request, const FString& text) {
  request.Reply(text);
  PluginLogger::Get().info("{}", ToNarrowString(text));
}

void DestroyPlayerProfile(Request& request) {
  if (!request.Require(u"<EOS-ID>")) return;
  const FString eos_id = request.Args().Text(1);
  const SaveDirectories directories = ResolveSaveDirectories();
  const std::string file = ToNarrowString(Format(u"{}.playerprofile", eos_id));
  PluginLogger::Get().info("File to be removed: \"{}\"", file);
  const std::string folder = ToNarrowString(directories.save_folder) + "\\TheIsland_WP";
  PluginLogger::Get().info("Full file path: \"{}\"", folder);
  try {
    platform::SetCurrentDirectory(folder);
    if (!platform::PathExists(folder)) {
      ReplyAndLog(request, Format(u"Error can't find folder \"{}\" on the server!", folder));
    } else if (!NamesAProfile(eos_id) || !platform::PathExists(file)) {
      ReplyAndLog(request, Format(u"Couldn't find \"{}\" in: \"{}\"", file, folder));
    } else if (!platform::RemoveFile(file)) {
      ReplyAndLog(request, Format(u"Failed to remove: \"{}\" in: \"{}\"", file, folder));
    } else {
      ReplyAndLog(request, Format(u"Successfully removed: \"{}\" in: \"{}\"", file, folder));
    }
  } catch (const std::filesystem::filesystem_error& error) {
    ReplyAndLog(request, Format(u"Failed when removing got error: {}", error.what()));
  }
}

}  // namespace

std::span<const CommandRow> ProfileRemovalRows() {
  static constexpr CommandRow kRows[] = {
      {11, "DestroyPlayerProfile", &DestroyPlayerProfile},
  };
  return kRows;
}

}  // namespace orvane
